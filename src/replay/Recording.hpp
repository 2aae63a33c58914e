#pragma once

#include "actors/Controls.hpp"

#include <SFML/System/Time.hpp>
#include <SFML/System/Vector2.hpp>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class World;

// A run of the game as it was played, level by level: for every step of play the game time it
// lasted and the three controls that acted in it, and what the run starts from (the level's file
// and a hash of its content, the size play was laid out in, the game's version). The world plays
// the same way for the same steps, so playing the steps again shows the run exactly as it was.
//
// It is kept as a small text file (format 1, described in docs/replays.md):
//
//     quellix-replay 1
//     game 1.0.0
//     layout 1280 720
//     level 1 Levels/Level1.lua 8c3d2f0a9b1e4c77
//     16666 - 90
//     16203 R
//     16666 RJ 3
//     end cleared 2 612.5 1873.25
//
// One line per step, or per run of equal steps with their count: the step's length in
// microseconds (at most a 60 Hz frame, the longest step of play) and the controls, "-" for none
// or L, R and J in that order. A level ends with how it ended (cleared, over for a game over,
// stopped when play ended otherwise), the tanks lost in it and where the tank then was, if one
// was in play; another level may follow.
class Recording {
public:
    static constexpr int Format = 1;
    // Larger than hours of play at a thousand frames a second.
    static constexpr std::size_t MaxFileBytes = 64 * 1024 * 1024;

    enum class End { Cleared, GameOver, Stopped };

    // Steps in a row of the same length, with the same controls.
    struct Steps {
        std::int32_t micros = 0;
        Controls controls;
        std::int32_t count = 1;
    };

    // How a level stood at the end of a step of play, or how it ended: where the tank was tells
    // one way of playing from another however alike their times and losses.
    struct Outcome {
        int level = 0;
        sf::Time time;
        int tanksLost = 0;
        End end = End::Stopped;
        std::optional<sf::Vector2f> tank; // none between two tanks

        bool operator==(const Outcome& other) const;
        bool operator!=(const Outcome& other) const { return !(*this == other); }
    };

    struct Level {
        int number = 1;
        std::uint64_t hash = 0; // of the level file's content
        std::vector<Steps> steps;
        End end = End::Stopped;
        int tanksLost = 0;
        std::optional<sf::Vector2f> tank;

        void add(sf::Time step, const Controls& acting);
        // The level's game time: every step's length added up.
        sf::Time time() const;
        Outcome outcome() const { return {number, time(), tanksLost, end, tank}; }
    };

    std::string version;
    sf::Vector2u layout;
    std::vector<Level> levels;

    // A recording of this version of the game, laid out in the given size, with no level yet.
    explicit Recording(sf::Vector2u layout = {});

    bool empty() const { return levels.empty(); }

    std::string text() const;
    // Nothing when the text is not a recording of this format, with the reason (and the line) in
    // problem.
    static std::optional<Recording> parse(const std::string& text, std::string& problem);

    // Only a regular file is read; the file is replaced in one step, as the players' files are.
    static std::optional<Recording> read(const std::filesystem::path& file, std::string& problem);
    bool write(const std::filesystem::path& file, std::string& problem) const;

    // What keeps the recording from playing here as it was played: another version of the game,
    // or a level file that is missing or not the one it was recorded on (read from the working
    // directory, the game's data folder). Empty when nothing does.
    std::string mismatch() const;

    // FNV-1a, 64 bits: enough to tell a changed level file, cheap enough to read every level.
    static std::uint64_t hash(const std::string& content);
    // The hash of a level file as the game reads it; nothing when it cannot be read.
    static std::optional<std::uint64_t> levelHash(int level);
    // How the world's level stands after a step, with the given end.
    static Outcome standing(const World& world, End end);
    // The word a level's end is written as: "cleared", "over" or "stopped".
    static std::string describe(End end);
    // "level 1 cleared at 83.417 s with 2 tanks lost, the tank at (612.5, 1873.25)"
    static std::string describe(const Outcome& outcome);
};
