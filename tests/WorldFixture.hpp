#pragma once
// A world drawing into a picture of a window's size, playing small levels that a test writes into a
// scratch data folder that also holds the game's own scripts and pictures.

#include "TestSupport.hpp"

#include "world/World.hpp"

#include <SFML/Graphics/RenderTexture.hpp>

#include <map>
#include <memory>
#include <string>

namespace testsupport {

// A level script of the given rows: one character a cell, '.' empty, '#' ground (tile 1),
// 'P' power block (5), 'R' 'Y' 'G' 'B' spawners (6-9), 'O' portal (10), 'K' a key place (tile
// 11 with a marker). Every row must be 30 characters wide.
std::string levelScript(const std::vector<std::string>& rows);

// Thirty columns of one character.
std::string row(char cell);

class WorldFixture {
public:
    // Writes Levels/Level<n>.lua for each entry, then builds the world for a window of the given
    // size, from the given level on.
    explicit WorldFixture(const std::map<int, std::string>& levels,
                          sf::Vector2u windowSize = {1280, 720}, int firstLevel = 1);
    ~WorldFixture();

    World& world() { return *theWorld; }
    // Advances the world by a number of frames of the given length.
    void run(int frames, sf::Time frame = sf::seconds(1.f / 60.f));

    TempDir dir;
    ScopedCwd cwd{dir.path()};
    sf::RenderTexture target; // stands in for the window
    std::unique_ptr<World> theWorld;
};

} // namespace testsupport
