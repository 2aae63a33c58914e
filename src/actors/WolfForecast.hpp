#pragma once

#include <SFML/Graphics/Rect.hpp>

#include <vector>

class Animal;
class Opponent;
class Platform;

// Where the wolves will be over the next steps, as the automatic player expects it from what it
// sees of them: each walks on at its speed, falls where nothing carries it, lands on blocks and
// turns at walls, as the map makes it; a stunned one stays where it is and is harmless until its
// stun is over. Wolves turning at each other and portals sending them away are not foreseen.
class WolfForecast {
public:
    struct Sighting {
        const Animal* wolf = nullptr;
        sf::FloatRect body;
        sf::FloatRect feet; // the bottom probe
        bool harmful = true;
        bool grounded = false; // standing on a block or the bottom after this step
    };

    explicit WolfForecast(const Platform& map);

    // Foresees the opponent's wolves that are now between the heights top and bottom, for the
    // given number of steps from now.
    void look(const Opponent& opponent, int steps, float top, float bottom);
    // One wolf only, for longer.
    void lookAt(const Animal& wolf, int steps);
    int steps() const { return static_cast<int>(frames.size()); }
    // The wolves after `step` more world steps; step 0 is now.
    const std::vector<Sighting>& at(int step) const {
        return frames[static_cast<std::size_t>(step)];
    }

private:
    void clear(int steps);
    void forecast(const Animal& wolf, int steps);

    const Platform& map;
    std::vector<std::vector<Sighting>> frames;
};
