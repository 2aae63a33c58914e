#pragma once

#include "actors/Controls.hpp"
#include "actors/Tank.hpp"
#include "autoplay/MapSight.hpp"
#include "autoplay/PlayerView.hpp"
#include "core/CommandQueue.hpp"

#include <SFML/System/Vector2.hpp>

#include <vector>

// How the automatic player's tank would move: a tank of its own, outside the scene, stepped as
// the world steps the real one, moved by the map's own tile collision (MapSight), and driven by
// the controls' own commands. Blocks carry, stop and push it as they would the real tank, but it
// bumps and pays nothing, and wolves and power-ups play no part. Needs textureHolder, like every
// tank.
class TankSimulator {
public:
    // What decides how a tank moves on: where it is, its speed and drive, and whether a block
    // carried it in the last collision pass.
    struct State {
        sf::Vector2f position;
        sf::Vector2f velocity;
        sf::Vector2f acceleration;
        bool grounded = false;
    };

    // The map must outlive the simulator.
    explicit TankSimulator(const MapSight& map);

    static State stateOf(const PlayerView::Tank& tank);

    // At rest on a floor: bottom edge on the top of row `floor` (the world's bottom for the row
    // below the map), as a block leaves a tank it has just carried.
    State standing(float x, int floor) const;

    void reset(const State& state);
    State state() const;
    // One world step: the tank's own update, the map's collision pass, then the commands of the
    // controls queued after the step before.
    void step(const Controls& controls);

    // Standing still on a floor: no speed, no drive, and exactly on a block's top or the bottom.
    bool isResting() const;
    // The floor the tank stands on (see standing), or -1 when it is not on one.
    int floorOf(float y) const;
    // The blocks struck from below in the last step.
    const std::vector<int>& struckCells() const { return struck; }
    sf::FloatRect body() const;
    const MapSight& getMap() const { return map; }

private:
    const MapSight& map;
    Tank ghost;
    CommandQueue commands;
    mutable std::vector<sf::FloatRect> rects; // scratch
    std::vector<int> struck;
};
