#pragma once

#include "autoplay/Maneuver.hpp"
#include "autoplay/TankSimulator.hpp"

#include <map>
#include <utility>
#include <vector>

class MapSight;

// Where the tank can stand in a level and how it gets from one place to another, as the automatic
// player works it out by rehearsing moves against the map. Places are nodes: a floor (the top of
// a block row, or the bottom of the world) and a spot along it, half a cell apart. The tank walks
// between neighbouring spots on a floor (round the sides of the world, too) and makes moves
// (Maneuver) from any spot; where a move ends is rehearsed the first time the spot is looked at
// and kept for the level, since the map's shape never changes, unless a block was hopping then:
// that rehearsal holds only for the moment.
class RouteMap {
public:
    // A piece of a route: a walk along a floor to a spot, or a move from the spot before it.
    struct Leg {
        int from = -1;
        int to = -1;
        bool walk = true;
        int direction = 0; // of a walk: -1 left, +1 right
        Maneuver move;
        float seconds = 0.f;
    };
    // Where a goal can be met, and how long it then takes to meet it.
    using Goals = std::vector<std::pair<int, float>>;
    // What a straight jump from a spot strikes from below, and in which step it first does.
    struct Strike {
        std::vector<int> cells;
        int step = -1;
    };

    // The map and the simulator must outlive the route map.
    RouteMap(const MapSight& map, TankSimulator& simulator);

    int spotsPerFloor() const { return spots; }
    int nodeCount() const { return static_cast<int>(standable.size()); }
    int node(int floor, int spot) const { return floor * spots + spot; }
    int floorOf(int node) const { return node / spots; }
    float xOf(int node) const;
    bool isStandable(int node) const;
    // The standable node on the floor nearest to x (at most one spot away), or -1.
    int nearest(int floor, float x) const;
    // One lap of the world: an actor leaving one side comes back this far round on the other.
    float lap() const { return lapLength; }

    // The quickest route from a node to one of the goals, or none; its last leg ends on the goal.
    // now: the step of play, to leave out moves that went wrong a short while ago.
    std::vector<Leg> route(int from, const Goals& goals, int now);
    const Strike& strike(int node);
    // Plays the move from the state; the node where the tank stands at its end and how many steps
    // it took, or -1 when it never stands still or ends off the nodes.
    std::pair<int, int> rehearse(const TankSimulator::State& start, const Maneuver& move);
    // A move that did not go as rehearsed is not offered again for a while (steps of play).
    void forget(int from, const Maneuver& move, int now);

private:
    const std::vector<Leg>& moves(int node);
    bool failedLately(int from, const Maneuver& move, int now) const;
    void findStandable();
    void joinWalkableSpots();

    const MapSight& map;
    TankSimulator& simulator;
    int floors = 0;
    int spots = 0;
    float firstX = 0.f;
    float spacing = 0.f;
    float lapLength = 0.f;
    std::vector<char> standable;
    std::vector<int> stretch; // the spots a tank can walk between share a number
    std::vector<std::vector<Leg>> moveCache;
    std::vector<char> movesKnown;
    std::vector<Strike> strikes;
    std::vector<char> strikeKnown;
    std::vector<Leg> scratch; // the moves from a spot rehearsed while a block hops
    // The moves that went wrong, by spot, with the step they went wrong in.
    std::multimap<int, std::pair<Maneuver, int>> failures;
};
