#pragma once

#include "world/Block.hpp"

// Releases one red power-up the first time it is struck from below, then looks like ground.
class PowerBlock : public Block {
public:
    PowerBlock(int tileNumber, int row, int column, int quadIndex);

    void hitFromBelow(Entity* actor) override;

    bool isCharged() const { return charged; }

private:
    bool charged = true;
};
