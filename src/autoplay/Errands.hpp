#pragma once

#include "autoplay/Memory.hpp"
#include "autoplay/RouteMap.hpp"
#include "autoplay/WolfForecast.hpp"

#include <set>
#include <vector>

struct PlayerView;

// Something worth doing in a level, and what the tank does once it stands where it can be done.
struct Errand {
    enum class Kind {
        None,
        Pay,    // touch a spawner whose colour a counter holds
        PickUp, // drive into a power-up that will be needed
        Bump,   // jump straight up to strike a block: a power block, or a key place
        Ambush, // wait under a wolf's way and strike the block it walks on
        Scrap,  // drive into a stunned wolf: a new, slow one comes out of a spawner
        Watch,  // wait below a spawner for wolves to come out
    };
    Kind kind = Kind::None;
    int cell = -1;
    int wolf = 0; // its number in the view
};

// What the automatic player wants done in the current level, from what it sees and remembers: the
// spawners' colours, the counters, the power-ups lying about, the power blocks still charged, the
// wolves, and the key places, the blocks with a picture of their own where a spawner may hide its
// key. Which one holds it cannot be seen, so they are struck one by one until it comes out.
class Errands {
public:
    void startLevel(const MapSight& map);
    // Every step it sees, to keep track of where the key has been looked for.
    void observe(const PlayerView& view);
    // Where each errand worth doing now can be done, and how long doing it takes once there.
    // found[i] is the errand of goal i. An obstacle, a wolf that keeps standing in the way of the
    // tank standing on the floor given, is ambushed before anything else, near that floor.
    // now: the step of play it decides in. The quarry is left holding the wolves' forecast.
    RouteMap::Goals gather(const PlayerView& view, const Memory& memory, RouteMap& routes,
                           WolfForecast& quarry, const PlayerView::Wolf* obstacle, int floor,
                           int now, std::vector<Errand>& found);

private:
    // The wolf's way is followed on the block rows from lowestRow up to highestRow only.
    void addAmbush(const MapSight& map, RouteMap& routes, WolfForecast& quarry,
                   const PlayerView::Wolf& wolf, float extra, int lowestRow, int highestRow,
                   RouteMap::Goals& goals, std::vector<Errand>& found);
    void addStrikes(const MapSight& map, RouteMap& routes, int cell, float extra,
                    const Errand& errand, RouteMap::Goals& goals, std::vector<Errand>& found);
    void addWatch(const MapSight& map, RouteMap& routes, int cell, RouteMap::Goals& goals,
                  std::vector<Errand>& found);
    void addStandings(RouteMap& routes, int floor, float left, float right, const Errand& errand,
                      RouteMap::Goals& goals, std::vector<Errand>& found, float extra = 0.f);

    std::vector<int> keyPlaces;    // as the level started
    std::set<int> emptied;         // a key came out of these
    std::set<int> tried;           // struck since the last key was hidden
    std::vector<int> spawnerTiles; // by cell, as last seen
    std::set<int> powerUpsSeen;    // the numbers of the power-ups in the window at the last look
};
