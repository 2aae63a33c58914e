#include "actors/TankMover.hpp"

#include "actors/Tank.hpp"

TankMover::TankMover(float x, float y) : acceleration(x, y) {}

void TankMover::operator()(SceneNode& node, sf::Time) const {
    if (auto* tank = dynamic_cast<Tank*>(&node))
        tank->accelerate(acceleration);
}

void tankJump(SceneNode& node, sf::Time) {
    if (auto* tank = dynamic_cast<Tank*>(&node))
        tank->jump();
}
