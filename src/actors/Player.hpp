#pragma once

#include "world/SceneNode.hpp"

#include <array>
#include <functional>

class Spawner;
class Tank;

// The player's side of a level: owns the current tank as its only child, spawns the next one a
// second after the last wreck was removed, counts the lives left and keeps the colour counters
// (0 red, 1 yellow, 2 green, 3 blue) that power-ups fill and spawners are paid from.
class Player : public SceneNode {
public:
    static constexpr int StartLives = 25;
    // Microseconds.
    static constexpr float RespawnDelay = 1000000.f;

    Player();
    ~Player() override;

    // Local position of every new tank.
    void setSpawnPosition(float x, float y);
    // Null while there is no tank.
    const Tank* getTank() const;
    Tank* getTank();
    // Ignores an index outside 0–3.
    void addColour(int index);
    // Pays one hit of the spawner's colour: nothing happens for a destroyed spawner or an empty
    // counter; otherwise the counter drops by one, the portal sound plays and the spawner advances.
    void spendColour(Spawner& spawner);
    int getLives() const { return lives; }
    const std::array<int, 4>& getColours() const { return colours; }
    // Microseconds left before the next tank may appear.
    float getRespawnTimer() const { return respawnTimer; }

    // Called on every update once no tank is left and no life remains.
    std::function<void()> gameOverCallback;

private:
    void updateCurrent(sf::Time dt) override;

    int lives = StartLives;
    float respawnTimer = 0.f;
    float respawnDelay = RespawnDelay;
    std::array<int, 4> colours{};
    sf::Vector2f spawnPosition;
};
