#include "world/Portal.hpp"

#include "actors/Animal.hpp"
#include "actors/Opponent.hpp"
#include "core/Command.hpp"
#include "core/CommandQueue.hpp"

Portal::Portal(int tileNumber, int row, int column, int quadIndex)
    : Block(tileNumber, row, column, quadIndex) {}

void Portal::land(Entity* actor) {
    hitSide(actor, {});
}

void Portal::hitFromBelow(Entity* actor) {
    hitSide(actor, {});
}

void Portal::hitSide(Entity* actor, std::bitset<8>) {
    auto* animal = dynamic_cast<Animal*>(actor);
    if (!animal)
        return;
    Command spawnComm;
    spawnComm.category = Category::Opponent;
    spawnComm.action = [animal](SceneNode& node, sf::Time) {
        if (auto* opponent = dynamic_cast<Opponent*>(&node))
            opponent->respawn(*animal);
    };
    commandQueue().push(spawnComm);
}
