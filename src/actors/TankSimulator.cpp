#include "actors/TankSimulator.hpp"

#include "world/WorldGlobals.hpp"

#include <cmath>

TankSimulator::TankSimulator(const Platform& map) : map(map) {}

TankSimulator::State TankSimulator::stateOf(const Tank& tank) {
    return {tank.getPosition(), tank.getVelocity(), tank.getAcceleration(), tank.isGrounded()};
}

TankSimulator::State TankSimulator::standing(float x, int floor) const {
    const int rows = static_cast<int>(map.getGridSize().y);
    const float bottom =
        floor >= rows ? worldSize.y : static_cast<float>(floor) * map.getTileSize().y;
    // The step that let it sink has gravity in it; the block took the speed and grounded it.
    return {{x, bottom - Tank::Shape[0].height},
            {0.f, 0.f},
            {0.f, static_cast<float>(Physics::Gravity)},
            true};
}

void TankSimulator::reset(const State& state) {
    ghost.setPosition(state.position);
    ghost.setVelocity(state.velocity);
    ghost.setAcceleration(state.acceleration);
    ghost.setGrounded(state.grounded);
}

TankSimulator::State TankSimulator::state() const {
    return stateOf(ghost);
}

void TankSimulator::step(const Controls& controls) {
    ghost.update(Physics::Step);
    struck.clear();
    ghost.getBoundingRect(rects);
    map.findTouchedCells(rects, touched);
    for (const Platform::TouchedCell& cell : touched) {
        const Block::Touch touch = Platform::classify(cell.contacts, ghost.getVelocity().y);
        if (const Block* block = map.getBlock(cell.cell)) {
            block->moveActor(ghost, touch, cell.contacts);
            if (touch == Block::Touch::HitFromBelow)
                struck.push_back(cell.cell);
        }
    }
    controls.queueCommands(commands);
    while (!commands.isEmpty())
        ghost.onCommand(commands.pop(), Physics::Step);
}

int TankSimulator::floorOf(float y) const {
    const float bottom = y + Tank::Shape[0].height;
    if (std::abs(bottom - worldSize.y) < 0.01f)
        return static_cast<int>(map.getGridSize().y);
    const float tileHeight = map.getTileSize().y;
    const int floor = static_cast<int>(std::lround(bottom / tileHeight));
    if (floor < 0 || std::abs(static_cast<float>(floor) * tileHeight - bottom) > 0.01f)
        return -1;
    return floor;
}

bool TankSimulator::isResting() const {
    return ghost.getVelocity() == sf::Vector2f() && ghost.getAcceleration().x == 0.f &&
           floorOf(ghost.getPosition().y) >= 0;
}

sf::FloatRect TankSimulator::body() const {
    ghost.getBoundingRect(rects);
    return rects.front();
}
