#include "world/PowerBlock.hpp"

#include "actors/Entity.hpp"

PowerBlock::PowerBlock(int tileNumber, int row, int column, int quadIndex)
    : Block(tileNumber, row, column, quadIndex) {}

void PowerBlock::hitFromBelow(Entity* actor) {
    Block::hitFromBelow(actor);
    // Like a plain block's item, the charge is only set free by the tank or a hop from below.
    if (!charged || (actor && (actor->getCategory() & Category::Tank) == 0))
        return;
    releaseItem(0);
    setTileNumber(4);
    updateTexture();
    charged = false;
}
