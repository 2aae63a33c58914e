#include "autoplay/TankSimulator.hpp"

#include "world/WorldGlobals.hpp"

#include <cmath>

TankSimulator::TankSimulator(const MapSight& map) : map(map) {}

TankSimulator::State TankSimulator::stateOf(const PlayerView::Tank& tank) {
    return {tank.position, tank.velocity, tank.acceleration, tank.grounded};
}

TankSimulator::State TankSimulator::standing(float x, int floor) const {
    const float bottom =
        floor >= map.rows() ? worldSize.y : static_cast<float>(floor) * map.getTileSize().y;
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
    return {ghost.getPosition(), ghost.getVelocity(), ghost.getAcceleration(), ghost.isGrounded()};
}

void TankSimulator::step(const Controls& controls) {
    ghost.update(Physics::Step);
    struck.clear();
    map.moveLikeBlocks(ghost, [this](int cell, Block::Touch touch, std::bitset<8>) {
        if (touch == Block::Touch::HitFromBelow)
            struck.push_back(cell);
    });
    controls.queueCommands(commands);
    while (!commands.isEmpty())
        ghost.onCommand(commands.pop(), Physics::Step);
}

int TankSimulator::floorOf(float y) const {
    const float bottom = y + Tank::Shape[0].height;
    if (std::abs(bottom - worldSize.y) < 0.01f)
        return map.rows();
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
