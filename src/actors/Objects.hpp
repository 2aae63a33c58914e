#pragma once

#include "world/SceneNode.hpp"

// Holder of the power-ups: spawns them when commands of its category (64) ask for it and owns
// them as its children until they are picked up.
class Objects : public SceneNode {
public:
    Objects();
    ~Objects() override;

    // A power-up of the kind standing on (x, y), announced by the key-generation sound.
    void spawn(int kind, float x, float y);
};
