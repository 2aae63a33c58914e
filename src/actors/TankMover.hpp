#pragma once

#include <SFML/System/Time.hpp>
#include <SFML/System/Vector2.hpp>

class SceneNode;

// Command action that drives the tank: hands its acceleration to Tank::accelerate. A node that
// is not a tank is left alone.
struct TankMover {
    TankMover(float x, float y);
    void operator()(SceneNode& node, sf::Time) const;

    sf::Vector2f acceleration;
};

// Command action that makes the tank jump; a node that is not a tank is left alone.
void tankJump(SceneNode& node, sf::Time);
