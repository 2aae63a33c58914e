#pragma once

#include "world/SceneNode.hpp"

#include <random>
#include <vector>

class Animal;
class Spawner;

// The invisible enemy side of a level. It owns the wolves as its children and releases one at a
// random spawner 1.5 s into the level and then every 3 s while it owes wolves; it marks some
// wolves at random, sends animals that enter a portal back to a spawner, and drops destroyed
// spawners (the level is cleared when none is left). A default-seeded engine drives every draw,
// so a level plays out the same way for the same inputs. While it knows no spawner, spawns and
// respawns wait. Needs textureHolder before its first spawn.
class Opponent : public SceneNode {
public:
    static constexpr float SpawnDelay = 3.f;
    static constexpr float FirstSpawnTime = 1.5f;

    Opponent();
    ~Opponent() override;

    void addWolves(int n);
    void addSpawner(Spawner* spawner);
    std::size_t getSpawnerCount() const;
    // Asks for one more marked wolf: among the wolves now out if a draw allows, else among the
    // next ones spawned. Wakes stunned wolves it looks at.
    void remark();
    // Places the animal at a random spawner and sends it off 50 faster than before.
    void respawn(Animal& animal);

    // The spawner that a draw from [0, 100) picks among n: each of the first takes
    // ceil(100 / n) of the range, so with many spawners the last ones are never picked.
    static std::size_t spawnerIndex(double draw, std::size_t n);

    int getWolvesToSpawn() const { return wolvesToSpawn; }
    float getSpawnTimer() const { return spawnTimer; }
    int getMarksOwed() const { return marksOwed; }
    float getMarkChance() const { return markChance; }
    const std::vector<Spawner*>& getSpawners() const { return spawners; }

private:
    void updateCurrent(sf::Time dt) override;
    void spawnWolf();
    Spawner& chooseSpawner();
    // Puts the animal's bottom corner on the spawner's offer and returns the walking direction.
    float placeAtOffer(Animal& animal);

    int wolvesToSpawn = 0;
    float spawnTimer = FirstSpawnTime;
    float spawnDelay = SpawnDelay;
    std::uniform_real_distribution<double> percent{0.0, 100.0};
    std::mt19937_64 engine;
    std::vector<Spawner*> spawners;
    int marksOwed = 0;
    float markChance = 0.f;
};
