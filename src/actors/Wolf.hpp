#pragma once

#include "actors/Animal.hpp"

// The robot wolf, the only animal of the game. Needs the DroneBasic and Vanish pictures in the
// texture holder; the opponent places it and sets it walking.
class Wolf : public Animal {
public:
    // Where the two frames lie in Images/Drone_Basic.png, side by side.
    static const sf::IntRect WalkingPicture;
    static const sf::IntRect StunnedPicture;

    explicit Wolf(TextureHolder& textures);

private:
    void initCollisionRects() override;
};
