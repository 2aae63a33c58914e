#pragma once

#include "autoplay/PlayerView.hpp"

#include <SFML/Graphics/Rect.hpp>

#include <vector>

class MapSight;

// Where the wolves will be over the next steps, as the automatic player expects it from where it
// saw them: each walks on at its speed, falls where nothing carries it, lands on blocks and turns
// at walls, as the map makes it, and two that meet turn as animals do; a stunned one stays where
// it is and is harmless until it may wake. Portals sending wolves away are not foreseen.
class WolfForecast {
public:
    struct Sighting {
        int wolf = 0; // its number in the view; 0 for a place a wolf may appear in
        sf::FloatRect body;
        sf::FloatRect feet; // the bottom probe
        bool harmful = true;
        bool grounded = false; // standing on a block or the bottom after this step
        int seenAgo = 0;       // how many steps before now the wolf was seen
    };

    // The map must outlive the forecast.
    explicit WolfForecast(const MapSight& map);

    // Starts a forecast of the given number of steps from now, with no wolf in it.
    void clear(int steps);
    // A wolf seen `age` steps ago, which if stunned may wake after `wakesIn` steps from now.
    void add(const PlayerView::Wolf& wolf, int age, int wakesIn);
    // Plays the wolves added since clear together, as the world would.
    void run();
    // A place where a wolf may appear from step `from` on (a spawner's door).
    void addDanger(const sf::FloatRect& body, int from);

    int steps() const { return static_cast<int>(frames.size()) - 1; }
    // The wolves after `step` more world steps; step 0 is now.
    const std::vector<Sighting>& at(int step) const {
        return frames[static_cast<std::size_t>(step)];
    }
    // The wolf after `step` more steps, or null.
    const Sighting* find(int step, int wolf) const;

private:
    struct Entry {
        PlayerView::Wolf wolf;
        int age;
        int wakesIn;
    };

    const MapSight& map;
    std::vector<Entry> entries;
    std::vector<std::vector<Sighting>> frames;
};
