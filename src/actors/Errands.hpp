#pragma once

#include "actors/RouteMap.hpp"
#include "actors/WolfForecast.hpp"

#include <set>
#include <vector>

class Animal;
class Platform;
class World;

// Something worth doing in a level, and what the tank does once it stands where it can be done.
struct Errand {
    enum class Kind {
        None,
        Pay,    // touch a spawner whose colour a counter holds
        PickUp, // drive into a power-up that will be needed
        Bump,   // jump straight up to strike a block: a power block, or one that may hide the key
        Ambush, // wait under a wolf's way and strike the block it walks on
        Scrap,  // drive into a stunned wolf: a new, slow one comes out of a spawner
    };
    Kind kind = Kind::None;
    int cell = -1;
    const Animal* wolf = nullptr;
};

// What the automatic player wants done in the current level, from what it can see: the spawners'
// colours, the counters, the power-ups lying about, the power blocks still charged, the wolves,
// and the cells the map marks as places for the key. The key's own block looks like any other,
// so it is found by striking the marked blocks until it comes out.
class Errands {
public:
    // Every step, to keep track of where the key has been looked for.
    void observe(const World& world);
    // Where each errand worth doing now can be done, and how long doing it takes once there.
    // found[i] is the errand of goal i. An obstacle, a wolf that keeps standing in the way of the
    // tank standing on the floor given, is ambushed before anything else, near that floor.
    RouteMap::Goals gather(const World& world, RouteMap& routes, WolfForecast& quarry,
                           const Animal* obstacle, int floor, std::vector<Errand>& found);
    void startLevel(const Platform& map);

private:
    // The wolf's way is followed on the block rows from lowestRow up to highestRow only.
    void addAmbush(const Platform& map, RouteMap& routes, WolfForecast& quarry, const Animal& wolf,
                   float extra, int lowestRow, int highestRow, RouteMap::Goals& goals,
                   std::vector<Errand>& found);
    void addStrikes(const Platform& map, RouteMap& routes, int cell, float extra,
                    const Errand& errand, RouteMap::Goals& goals, std::vector<Errand>& found);
    void addStandings(RouteMap& routes, int floor, float left, float right, const Errand& errand,
                      RouteMap::Goals& goals, std::vector<Errand>& found, float extra = 0.f);

    std::vector<int> keyCells;      // the marked cells, as the level started
    std::set<int> emptied;          // a key came out of these
    std::set<int> tried;            // struck since the last key was hidden
    std::vector<int> spawnerTiles;  // by cell, as last seen
    std::set<const void*> powerUps; // as last seen
};
