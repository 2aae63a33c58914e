#pragma once

#include "world/Block.hpp"

#include <SFML/System/Vector2.hpp>

#include <random>
#include <utility>

// A coloured block that wolves come out of. Actors pass through it; each hit the tank pays for
// moves it one colour on (red, yellow, green), and a green or blue spawner is destroyed by one.
class Spawner : public Block {
public:
    // Where an animal enters and which way it walks (x is +1 or -1).
    using SpawnInfo = std::pair<sf::Vector2f, sf::Vector2f>;

    Spawner(int tileNumber, int row, int column, int quadIndex);

    void land(Entity* actor) override;
    void hitFromBelow(Entity* actor) override;
    void hitSide(Entity* actor, std::bitset<8> contacts) override;
    // Actors pass through.
    void moveActor(Entity&, Touch, std::bitset<8>) const override {}

    // 0 red, 1 yellow, 2 green, 3 blue; negative once destroyed.
    int getColour() const;
    // The paid hit.
    void advance();
    SpawnInfo getSpawnInfo();

private:
    // Default seed: every level sends its animals the same ways each time it is played.
    std::mt19937 engine;
};
