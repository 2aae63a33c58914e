#include "autoplay/Errands.hpp"

#include "actors/Tank.hpp"
#include "autoplay/PlayerView.hpp"
#include "world/TilePictures.hpp"
#include "world/WorldGlobals.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

namespace {

using TilePictures::ChargedPowerBlock;
using TilePictures::GreenSpawner;
using TilePictures::KeyPlace;
using TilePictures::RedSpawner;
using TilePictures::YellowSpawner;
// The colour counter each power-up kind fills (kind 2, blue, is never needed).
const std::array<int, 4> CounterOfKind = {0, 1, 3, 2};
const int KeyKind = 3;

// How far a straight jump lifts the tank.
const float JumpRise = 200.f;
// How long a wolf is followed ahead, in steps, when looking for a place to strike it from.
const int AmbushSteps = 240;
const int AmbushEarliest = 20;
// How many rows above the tank an obstacle is waited for.
const int ObstacleRows = 12;

// Extra seconds that make nearer things of lesser worth wait: paying and picking up first.
const float BumpCost = 0.5f;
const float HuntCost = 1.5f;
const float ScrapCost = 1.f;
// Seconds a row of climbing takes, about: five rows in a jump and a little walk.
const float ClimbCostPerRow = 0.2f;
// Where to wait for wolves to come out of a spawner: this many rows below it and more, this far
// to either side.
const int WatchRows = 5;
const float WatchReach = 300.f;
// A stunned wolf is gone for only if it stays down at least this long, in steps.
const int ScrapInTime = 240;

int floorUnder(const MapSight& map, const sf::FloatRect& body) {
    const float bottom = body.top + body.height;
    return std::abs(bottom - worldSize.y) < 0.5f
               ? map.rows()
               : static_cast<int>(std::lround(bottom / map.getTileSize().y));
}

} // namespace

void Errands::startLevel(const MapSight& map) {
    keyPlaces.clear();
    for (int cell = 0; cell < map.columns() * map.rows(); ++cell)
        if (map.tileAt(cell) == KeyPlace)
            keyPlaces.push_back(cell);
    emptied.clear();
    tried.clear();
    powerUpsSeen.clear();
    spawnerTiles.assign(static_cast<std::size_t>(map.columns() * map.rows()), 0);
}

void Errands::observe(const PlayerView& view) {
    const MapSight& map = view.map;
    const sf::Vector2f tile = map.getTileSize();
    // A spawner that turns green hides a fresh key, perhaps in a place struck before.
    for (std::size_t cell = 0; cell < spawnerTiles.size(); ++cell) {
        const int now = map.tileAt(static_cast<int>(cell));
        if (spawnerTiles[cell] == YellowSpawner && now == GreenSpawner)
            tried.clear();
        spawnerTiles[cell] = now;
    }
    for (const int cell : keyPlaces)
        if (map.hopStep(cell) >= 0)
            tried.insert(cell);
    // A key that comes out shows which place held it: it starts on that block's top-left corner.
    std::set<int> now;
    for (const PlayerView::PowerUp& powerUp : view.powerUps) {
        now.insert(powerUp.id);
        if (powerUpsSeen.count(powerUp.id) || powerUp.kind != KeyKind)
            continue;
        const int column = static_cast<int>(std::lround(powerUp.body.left / tile.x));
        const int row =
            static_cast<int>(std::lround((powerUp.body.top + powerUp.body.height) / tile.y));
        const int cell = row * map.columns() + column;
        if (std::find(keyPlaces.begin(), keyPlaces.end(), cell) != keyPlaces.end())
            emptied.insert(cell);
    }
    powerUpsSeen = std::move(now);
}

void Errands::addStandings(RouteMap& routes, int floor, float left, float right,
                           const Errand& errand, RouteMap::Goals& goals, std::vector<Errand>& found,
                           float extra) {
    for (int spot = 0; spot < routes.spotsPerFloor(); ++spot) {
        const int node = routes.node(floor, spot);
        const float x = routes.xOf(node);
        const sf::FloatRect& body = Tank::Shape[0];
        // A few pixels of overlap, so standing there surely touches it.
        if (routes.isStandable(node) && x + body.left + body.width > left + 4.f &&
            x + body.left < right - 4.f) {
            goals.emplace_back(node, extra);
            found.push_back(errand);
        }
    }
}

void Errands::addStrikes(const MapSight& map, RouteMap& routes, int cell, float extra,
                         const Errand& errand, RouteMap::Goals& goals, std::vector<Errand>& found) {
    const sf::Vector2f tile = map.getTileSize();
    const int row = cell / map.columns();
    const float left = static_cast<float>(cell % map.columns()) * tile.x;
    const float jumpReach = JumpRise + Tank::Shape[0].height;
    const sf::FloatRect& head = Tank::Shape[2];
    const int lastFloor = std::min(map.rows(), row + 1 + static_cast<int>(jumpReach / tile.y) + 1);
    for (int floor = row + 1; floor <= lastFloor; ++floor) {
        for (int spot = 0; spot < routes.spotsPerFloor(); ++spot) {
            const int node = routes.node(floor, spot);
            const float x = routes.xOf(node);
            if (!routes.isStandable(node) || x + head.left + head.width <= left ||
                x + head.left >= left + tile.x)
                continue;
            const auto& struck = routes.strike(node).cells;
            if (std::find(struck.begin(), struck.end(), cell) != struck.end()) {
                goals.emplace_back(node, extra);
                found.push_back(errand);
            }
        }
    }
}

// Below a spawner, a few floors down and not far to the side.
void Errands::addWatch(const MapSight& map, RouteMap& routes, int cell, RouteMap::Goals& goals,
                       std::vector<Errand>& found) {
    const float x = (static_cast<float>(cell % map.columns()) + 0.5f) * map.getTileSize().x;
    const int row = cell / map.columns();
    for (int floor = row + WatchRows; floor <= std::min(map.rows(), row + 2 * WatchRows); ++floor)
        addStandings(routes, floor, x - WatchReach, x + WatchReach, {Errand::Kind::Watch, cell, 0},
                     goals, found, HuntCost);
}

// Where the tank can strike the blocks the wolf will walk on, from a little while ahead on.
void Errands::addAmbush(const MapSight& map, RouteMap& routes, WolfForecast& quarry,
                        const PlayerView::Wolf& wolf, float extra, int lowestRow, int highestRow,
                        RouteMap::Goals& goals, std::vector<Errand>& found) {
    const sf::Vector2f tile = map.getTileSize();
    const int columns = map.columns();
    std::set<int> cells;
    for (int step = AmbushEarliest; step <= AmbushSteps; ++step) {
        const WolfForecast::Sighting* found = quarry.find(step, wolf.id);
        if (!found)
            continue;
        const WolfForecast::Sighting& seen = *found;
        const float bottom = seen.body.top + seen.body.height;
        const int row = static_cast<int>(std::lround(bottom / tile.y));
        if (!seen.grounded || std::abs(static_cast<float>(row) * tile.y - bottom) > 2.f ||
            row >= map.rows() || row > lowestRow || row < highestRow)
            continue;
        for (int column = static_cast<int>(seen.feet.left / tile.x);
             column <= static_cast<int>((seen.feet.left + seen.feet.width) / tile.x); ++column)
            if (column >= 0 && column < columns && map.hasBlock(row * columns + column))
                cells.insert(row * columns + column);
    }
    for (const int cell : cells)
        addStrikes(map, routes, cell, extra, {Errand::Kind::Ambush, cell, wolf.id}, goals, found);
}

RouteMap::Goals Errands::gather(const PlayerView& view, const Memory& memory, RouteMap& routes,
                                WolfForecast& quarry, const PlayerView::Wolf* obstacle, int floor,
                                int now, std::vector<Errand>& found) {
    RouteMap::Goals goals;
    found.clear();
    const MapSight& map = view.map;
    // Where the wolves go over the next seconds, to find where to strike them from.
    quarry.clear(AmbushSteps);
    for (const Memory::Wolf& wolf : memory.wolves())
        quarry.add(wolf.seen, now - wolf.seenAt, memory.wakesIn(wolf, now));
    quarry.run();
    // A wolf that keeps standing in the way is struck first, close to where the tank is.
    if (obstacle)
        addAmbush(map, routes, quarry, *obstacle, 0.f, floor, floor - ObstacleRows, goals, found);
    const sf::Vector2f tile = map.getTileSize();
    const int columns = map.columns();
    const std::array<int, 4>& counters = view.counters;

    std::map<int, int> spawners; // by stage
    std::vector<int> spawnerCells;
    std::vector<int> powerBlocks;
    for (int cell = 0; cell < columns * map.rows(); ++cell) {
        const int tileNumber = map.tileAt(cell);
        if (tileNumber >= RedSpawner && tileNumber <= GreenSpawner) {
            ++spawners[tileNumber];
            spawnerCells.push_back(cell);
        } else if (tileNumber == ChargedPowerBlock) {
            powerBlocks.push_back(cell);
        }
    }
    std::array<int, 4> lying{};
    for (const Memory::PowerUp& powerUp : memory.powerUps())
        if (powerUp.kind >= 0 && powerUp.kind < 4)
            ++lying[static_cast<std::size_t>(CounterOfKind[powerUp.kind])];
    // Units still to be found, of each colour, for every spawner left.
    const int reds = spawners[RedSpawner];
    const int yellows = spawners[YellowSpawner];
    const int greens = spawners[GreenSpawner];
    const std::array<int, 3> wanted = {reds, reds + yellows, reds + yellows + greens};

    // Pay every spawner whose colour a counter holds.
    for (const int cell : spawnerCells) {
        const int stage = map.tileAt(cell);
        if (counters[stage - RedSpawner] == 0)
            continue;
        const float left = static_cast<float>(cell % columns) * tile.x;
        addStandings(routes, cell / columns + 1, left, left + tile.x, {Errand::Kind::Pay, cell, 0},
                     goals, found);
    }
    // Pick up what will be needed, once it lies still.
    for (const Memory::PowerUp& powerUp : memory.powerUps()) {
        if (!powerUp.still || powerUp.kind < 0 || powerUp.kind == 2 || powerUp.kind > 3)
            continue;
        const int colour = CounterOfKind[powerUp.kind];
        if (counters[colour] >= wanted[colour])
            continue;
        const int onFloor = floorUnder(map, powerUp.body);
        const float left = powerUp.body.left;
        const float right = left + powerUp.body.width;
        addStandings(routes, onFloor, left, right, {Errand::Kind::PickUp, -1, 0}, goals, found);
    }
    // Red comes from power blocks.
    if (counters[0] + lying[0] < reds)
        for (const int cell : powerBlocks)
            addStrikes(map, routes, cell, BumpCost, {Errand::Kind::Bump, cell, 0}, goals, found);
    // Green: the key of every green spawner, hidden in one of the key places.
    if (counters[2] + lying[2] < greens)
        for (const int cell : keyPlaces)
            if (!emptied.count(cell) && !tried.count(cell))
                addStrikes(map, routes, cell, BumpCost, {Errand::Kind::Bump, cell, 0}, goals,
                           found);
    // Yellow comes from marked wolves knocked off a block. Which are marked cannot be seen, so
    // every wolf in sight is hunted; a stunned one is scrapped, and the new one may be marked.
    // How many rows a wolf is from the nearest spawner of the stages given.
    const auto rowsFrom = [&](const PlayerView::Wolf& wolf, int firstStage, int lastStage) {
        const float feet = (wolf.position.y + wolf.size.y) / tile.y;
        float rows = static_cast<float>(map.rows());
        for (const int cell : spawnerCells)
            if (map.tileAt(cell) >= firstStage && map.tileAt(cell) <= lastStage)
                rows = std::min(rows, std::abs(feet - static_cast<float>(cell / columns + 1)));
        return rows;
    };
    if (counters[1] + lying[1] < yellows) {
        // A yellow unit found far from a yellow spawner has to be carried back: the climb back
        // counts against hunting there.
        const auto climbBack = [&](const PlayerView::Wolf& wolf) {
            return ClimbCostPerRow * rowsFrom(wolf, YellowSpawner, YellowSpawner);
        };
        bool hunting = false;
        for (const PlayerView::Wolf& wolf : view.wolves)
            if (!wolf.stunned) {
                addAmbush(map, routes, quarry, wolf, HuntCost + climbBack(wolf), map.rows(), 0,
                          goals, found);
                hunting = true;
            }
        // None in sight: wolves come out of the spawners, so wait where they pass.
        if (!hunting)
            for (const int cell : spawnerCells)
                if (map.tileAt(cell) == YellowSpawner)
                    addWatch(map, routes, cell, goals, found);
    }
    // A stunned wolf nearby is scrapped: the one that comes out of a spawner instead walks at the
    // first speed, while every wolf that goes through a portal, or wakes up, comes back faster.
    for (const PlayerView::Wolf& wolf : view.wolves) {
        const Memory::Wolf* known = memory.wolf(wolf.id);
        if (!wolf.stunned || !known || memory.wakesIn(*known, now) < ScrapInTime)
            continue;
        const sf::FloatRect& body = wolf.shape[0];
        const int wolfFloor = floorUnder(map, {wolf.position, wolf.size});
        if (std::abs(wolfFloor - floor) <= ObstacleRows)
            addStandings(routes, wolfFloor, body.left, body.left + body.width,
                         {Errand::Kind::Scrap, -1, wolf.id}, goals, found,
                         ScrapCost + ClimbCostPerRow * rowsFrom(wolf, RedSpawner, GreenSpawner));
    }
    return goals;
}
