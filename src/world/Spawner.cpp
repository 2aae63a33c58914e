#include "world/Spawner.hpp"

#include "actors/Entity.hpp"
#include "actors/Opponent.hpp"
#include "actors/Player.hpp"
#include "core/Command.hpp"
#include "core/CommandQueue.hpp"
#include "world/Platform.hpp"

namespace {
const int FirstStage = 6;
const int LastColumn = 29;

// A command for the one node class that owns the category.
template <typename Receiver, typename Action> void send(std::uint32_t category, Action action) {
    Command spawnComm;
    spawnComm.category = category;
    spawnComm.action = [action](SceneNode& node, sf::Time) {
        if (auto* receiver = dynamic_cast<Receiver*>(&node))
            action(*receiver);
    };
    commandQueue().push(spawnComm);
}
} // namespace

Spawner::Spawner(int tileNumber, int row, int column, int quadIndex)
    : Block(tileNumber, row, column, quadIndex) {
    send<Opponent>(Category::Opponent, [this](Opponent& opponent) { opponent.addSpawner(this); });
}

void Spawner::land(Entity* actor) {
    hitSide(actor, {});
}

void Spawner::hitFromBelow(Entity* actor) {
    hitSide(actor, {});
}

void Spawner::hitSide(Entity* actor, std::bitset<8>) {
    if (!actor || (actor->getCategory() & Category::Tank) == 0)
        return;
    send<Player>(Category::Player, [this](Player& player) { player.spendColour(*this); });
}

int Spawner::getColour() const {
    return getTileNumber() - FirstStage;
}

void Spawner::advance() {
    const int colour = getColour();
    if (colour < 0 || colour > 3)
        return;
    if (getTileNumber() >= 8) {
        // Destroyed: the quad collapses to a point so nothing of it is drawn.
        if (sf::Vertex* quad = getQuad())
            for (int i = 0; i < 4; ++i)
                quad[i].position = {0.f, 0.f};
        setTileNumber(-1);
    } else {
        setTileNumber(getTileNumber() + 1);
        if (getTileNumber() == 7)
            send<Opponent>(Category::Opponent, [](Opponent& opponent) { opponent.remark(); });
        else if (getTileNumber() == 8)
            send<Platform>(Category::Platform, [](Platform& platform) { platform.generateKey(); });
    }
    updateTexture();
}

Spawner::SpawnInfo Spawner::getSpawnInfo() {
    const sf::Vertex* quad = getQuad();
    if (!quad)
        return {{0.f, 0.f}, {1.f, 0.f}};
    // Spawners near the right edge send their animals mostly left, and the other way round.
    const int chance =
        static_cast<int>(static_cast<float>(getColumn()) / static_cast<float>(LastColumn) * 100.f);
    std::uniform_int_distribution<int> percent(0, 100);
    if (percent(engine) <= chance)
        return {quad[3].position, {-1.f, 0.f}};
    return {quad[2].position, {1.f, 0.f}};
}
