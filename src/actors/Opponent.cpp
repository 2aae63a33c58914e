#include "actors/Opponent.hpp"

#include "actors/Wolf.hpp"
#include "world/Spawner.hpp"
#include "world/WorldGlobals.hpp"

#include <algorithm>
#include <cmath>

namespace {
const float WalkSpeed = 100.f;
const float RespawnBoost = 50.f;
const float MarkChanceStep = 10.f;
} // namespace

Opponent::Opponent() {
    setCategory(Category::Opponent);
}

Opponent::~Opponent() = default;

void Opponent::addWolves(int n) {
    wolvesToSpawn += n;
}

void Opponent::addSpawner(Spawner* spawner) {
    if (spawner)
        spawners.push_back(spawner);
}

std::size_t Opponent::getSpawnerCount() const {
    return spawners.size();
}

std::size_t Opponent::spawnerIndex(double draw, std::size_t n) {
    if (n == 0)
        return 0;
    const int share = static_cast<int>(std::ceil(100.f / static_cast<float>(n)));
    const auto index = static_cast<std::size_t>(draw / share);
    return std::min(index, n - 1);
}

Spawner& Opponent::chooseSpawner() {
    return *spawners[spawnerIndex(percent(engine), spawners.size())];
}

float Opponent::placeAtOffer(Animal& animal) {
    const auto [point, direction] = chooseSpawner().getSpawnInfo();
    const sf::Vector2f size = animal.getSize();
    if (direction.x == -1.f)
        animal.setPosition(point.x - size.x, point.y - size.y);
    else
        animal.setPosition(point.x, point.y - size.y);
    return direction.x;
}

void Opponent::updateCurrent(sf::Time dt) {
    // One destroyed spawner per update; the order of the others does not matter.
    const auto destroyed = std::find_if(spawners.begin(), spawners.end(),
                                        [](const Spawner* s) { return s->getColour() < 0; });
    if (destroyed != spawners.end()) {
        *destroyed = spawners.back();
        spawners.pop_back();
    }

    if (spawnDelay > spawnTimer)
        spawnTimer += dt.asSeconds();
    // Without a spawner (or a texture holder) the wolf stays owed until one appears.
    if (wolvesToSpawn > 0 && spawnTimer >= spawnDelay && !spawners.empty() && textureHolder) {
        spawnWolf();
        spawnTimer = 0.f;
        --wolvesToSpawn;
    }
}

void Opponent::spawnWolf() {
    auto wolf = std::make_unique<Wolf>(*textureHolder);
    const float direction = placeAtOffer(*wolf);
    wolf->setVelocity(WalkSpeed * direction, 0.f);
    if (marksOwed != 0) {
        if (percent(engine) <= markChance) {
            wolf->mark();
            --marksOwed;
        } else {
            markChance += MarkChanceStep;
        }
    }
    attachChild(std::move(wolf));
}

void Opponent::remark() {
    ++marksOwed;
    const int n = static_cast<int>(getChildren().size());
    markChance = static_cast<float>(n >= 5 ? (n + 10) * 5 : n * 10);
    const double draw = percent(engine);
    // With no wolf out there is no one to search (and nothing to divide by): a miss.
    if (n > 0 && markChance >= draw) {
        const int step = 100 / n;
        markChance = static_cast<float>(step);
        for (const Ptr& child : getChildren()) {
            const double wolfDraw = percent(engine);
            auto* animal = dynamic_cast<Animal*>(child.get());
            if (!animal)
                continue;
            animal->recover();
            if (markChance >= wolfDraw && !animal->isMarked()) {
                animal->mark();
                --marksOwed;
                return;
            }
            markChance += static_cast<float>(step);
        }
        return;
    }
    if (n < 10)
        markChance = static_cast<float>(100 / (10 - n));
}

void Opponent::respawn(Animal& animal) {
    if (spawners.empty())
        return;
    const float speed = std::abs(animal.getVelocity().x);
    const float direction = placeAtOffer(animal);
    animal.setVelocity((speed + RespawnBoost) * direction, 0.f);
}
