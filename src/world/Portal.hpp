#pragma once

#include "world/Block.hpp"

// Sends animals that walk into it back to a spawner; everything else passes through.
class Portal : public Block {
public:
    Portal(int tileNumber, int row, int column, int quadIndex);

    void land(Entity* actor) override;
    void hitFromBelow(Entity* actor) override;
    void hitSide(Entity* actor, std::bitset<8> contacts) override;
    // Actors pass through.
    void moveActor(Entity&, Touch, std::bitset<8>) const override {}
};
