#pragma once

#include "autoplay/MapSight.hpp"

#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Time.hpp>
#include <SFML/System/Vector2.hpp>

#include <array>
#include <vector>

// What the automatic player sees of the game at one step, which is all it may read of it: the
// map's blocks as drawn, its own tank, the wolves and power-ups whose pictures are in the window,
// and the HUD's lives and colour counters. Which wolves are marked, which block hides the key,
// where the key may be hidden, how long a stun has left and what the opponent will do next are
// not in it, nor is anything out of the window. WorldSight builds it from the world; a test may
// build one by hand.
struct PlayerView {
    // A wolf in the window.
    struct Wolf {
        // The same from step to step while the wolf stays in the window; a wolf that comes back
        // into the window has a new one, as a player cannot tell it from any other.
        int id = 0;
        sf::Vector2f position; // its picture's top-left corner
        sf::Vector2f size;     // of its picture
        // Its outline in world pixels, as its picture shows it: the body, then the feet, the
        // head, the left and the right side.
        std::array<sf::FloatRect, 5> shape{};
        sf::Vector2f velocity; // as its motion shows it
        bool grounded = false; // standing on a block or on the floor
        bool stunned = false;  // knocked over: the stunned picture
        bool operator==(const Wolf& other) const;
    };
    // A power-up in the window; its kind is the colour its picture shows.
    struct PowerUp {
        int id = 0; // as for wolves
        int kind = 0;
        sf::FloatRect body;
        sf::Vector2f velocity;
        bool operator==(const PowerUp& other) const;
    };
    // The player's own tank, which it knows as it drives it: where it is and how it moves.
    struct Tank {
        bool intact = false; // false while there is no tank, or only its wreck
        sf::Vector2f position;
        sf::Vector2f velocity;
        sf::Vector2f acceleration;
        bool grounded = false;
        bool operator==(const Tank& other) const;
    };

    int level = 0; // 0 while nothing is played
    sf::Time levelTime;
    int lives = 0;
    std::array<int, 4> counters{}; // red, yellow, green, blue
    Tank tank;
    sf::FloatRect window; // the part of the level the window shows
    std::vector<Wolf> wolves;
    std::vector<PowerUp> powerUps;
    MapSight map;

    bool operator==(const PlayerView& other) const;
    bool operator!=(const PlayerView& other) const { return !(*this == other); }
};
