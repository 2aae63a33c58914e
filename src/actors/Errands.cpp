#include "actors/Errands.hpp"

#include "actors/Animal.hpp"
#include "actors/Opponent.hpp"
#include "actors/Player.hpp"
#include "actors/PowerUp.hpp"
#include "actors/Tank.hpp"
#include "world/Block.hpp"
#include "world/Platform.hpp"
#include "world/World.hpp"
#include "world/WorldGlobals.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

namespace {

// Tile numbers of the spawners' stages and of a charged power block.
const int RedSpawner = 6;
const int YellowSpawner = 7;
const int GreenSpawner = 8;
const int ChargedPowerBlock = 5;
// The colour counter each power-up kind fills (kind 2, blue, is never needed).
const std::array<int, 4> CounterOfKind = {0, 1, 3, 2};

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
// A stunned wolf is gone for only if it stays stunned at least this long.
const sf::Time ScrapInTime = sf::seconds(4.f);

int columnsOf(const Platform& map) {
    return static_cast<int>(map.getGridSize().x);
}

} // namespace

void Errands::startLevel(const Platform& map) {
    keyCells = map.getMarkedCells();
    emptied.clear();
    tried.clear();
    powerUps.clear();
    spawnerTiles.assign(static_cast<std::size_t>(map.getGridSize().x * map.getGridSize().y), 0);
}

void Errands::observe(const World& world) {
    const Platform& map = *world.getPlatform();
    const sf::Vector2f tile = map.getTileSize();
    // A spawner that turns green hides a fresh key, perhaps in a block struck before.
    for (const int cell : map.getSolidCells()) {
        const Block& block = *map.getBlock(cell);
        int& seen = spawnerTiles[static_cast<std::size_t>(cell)];
        if (seen == YellowSpawner && block.getTileNumber() == GreenSpawner)
            tried.clear();
        seen = block.getTileNumber();
    }
    for (const int cell : keyCells)
        if (map.getBumpStep(map.getBlock(cell)) >= 0)
            tried.insert(cell);
    // A key that comes out shows which block held it: it starts on that block's top-left corner.
    std::set<const void*> now;
    for (const auto& child : world.getObjectsLayer().getChildren()) {
        now.insert(child.get());
        const auto* powerUp = dynamic_cast<const PowerUp*>(child.get());
        if (!powerUp || powerUps.count(child.get()) || powerUp->getKindOfPowerUp() != 3)
            continue;
        const sf::Vector2f at = powerUp->getPosition();
        const int column = static_cast<int>(std::lround(at.x / tile.x));
        const int row = static_cast<int>(std::lround((at.y + powerUp->getSize().y) / tile.y));
        emptied.insert(row * columnsOf(map) + column);
    }
    powerUps = std::move(now);
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

void Errands::addStrikes(const Platform& map, RouteMap& routes, int cell, float extra,
                         const Errand& errand, RouteMap::Goals& goals, std::vector<Errand>& found) {
    const sf::Vector2f tile = map.getTileSize();
    const int row = cell / columnsOf(map);
    const float left = static_cast<float>(cell % columnsOf(map)) * tile.x;
    const float jumpReach = JumpRise + Tank::Shape[0].height;
    const sf::FloatRect& head = Tank::Shape[2];
    const int lastFloor = std::min(static_cast<int>(map.getGridSize().y),
                                   row + 1 + static_cast<int>(jumpReach / tile.y) + 1);
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

// Where the tank can strike the blocks the wolf will walk on, from a little while ahead on.
void Errands::addAmbush(const Platform& map, RouteMap& routes, WolfForecast& quarry,
                        const Animal& wolf, float extra, int lowestRow, int highestRow,
                        RouteMap::Goals& goals, std::vector<Errand>& found) {
    const sf::Vector2f tile = map.getTileSize();
    const int columns = columnsOf(map);
    quarry.lookAt(wolf, AmbushSteps);
    std::set<int> cells;
    for (int step = AmbushEarliest; step <= AmbushSteps; ++step) {
        const WolfForecast::Sighting& seen = quarry.at(step).front();
        const float bottom = seen.body.top + seen.body.height;
        const int row = static_cast<int>(std::lround(bottom / tile.y));
        if (!seen.grounded || std::abs(static_cast<float>(row) * tile.y - bottom) > 2.f ||
            row >= static_cast<int>(map.getGridSize().y) || row > lowestRow || row < highestRow)
            continue;
        for (int column = static_cast<int>(seen.feet.left / tile.x);
             column <= static_cast<int>((seen.feet.left + seen.feet.width) / tile.x); ++column)
            if (column >= 0 && column < columns && map.getBlock(row * columns + column))
                cells.insert(row * columns + column);
    }
    for (const int cell : cells)
        addStrikes(map, routes, cell, extra, {Errand::Kind::Ambush, cell, &wolf}, goals, found);
}

RouteMap::Goals Errands::gather(const World& world, RouteMap& routes, WolfForecast& quarry,
                                const Animal* obstacle, int floor, std::vector<Errand>& found) {
    RouteMap::Goals goals;
    found.clear();
    const int rows = static_cast<int>(world.getPlatform()->getGridSize().y);
    // A wolf that keeps standing in the way is struck first, close to where the tank is.
    if (obstacle)
        addAmbush(*world.getPlatform(), routes, quarry, *obstacle, 0.f, floor, floor - ObstacleRows,
                  goals, found);
    const Platform& map = *world.getPlatform();
    const Player& player = *world.getPlayer();
    const sf::Vector2f tile = map.getTileSize();
    const int columns = columnsOf(map);
    const std::array<int, 4>& counters = player.getColours();

    std::map<int, int> spawners; // by stage
    for (const int cell : map.getSolidCells())
        if (const int tileNumber = map.getBlock(cell)->getTileNumber();
            tileNumber >= RedSpawner && tileNumber <= GreenSpawner)
            ++spawners[tileNumber];
    std::array<int, 4> lying{};
    for (const auto& child : world.getObjectsLayer().getChildren())
        if (const auto* powerUp = dynamic_cast<const PowerUp*>(child.get());
            powerUp && !powerUp->isPickedUp() && powerUp->getKindOfPowerUp() >= 0 &&
            powerUp->getKindOfPowerUp() < 4)
            ++lying[static_cast<std::size_t>(CounterOfKind[powerUp->getKindOfPowerUp()])];
    // Units still to be found, of each colour, for every spawner left.
    const int reds = spawners[RedSpawner];
    const int yellows = spawners[YellowSpawner];
    const int greens = spawners[GreenSpawner];
    const std::array<int, 3> wanted = {reds, reds + yellows, reds + yellows + greens};

    // Pay every spawner whose colour a counter holds.
    for (const int cell : map.getSolidCells()) {
        const int stage = map.getBlock(cell)->getTileNumber();
        if (stage < RedSpawner || stage > GreenSpawner || counters[stage - RedSpawner] == 0)
            continue;
        const float left = static_cast<float>(cell % columns) * tile.x;
        addStandings(routes, cell / columns + 1, left, left + tile.x,
                     {Errand::Kind::Pay, cell, nullptr}, goals, found);
    }
    // Pick up what will be needed, once it lies still.
    for (const auto& child : world.getObjectsLayer().getChildren()) {
        const auto* powerUp = dynamic_cast<const PowerUp*>(child.get());
        if (!powerUp || powerUp->isPickedUp() || powerUp->getVelocity().y != 0.f ||
            powerUp->getKindOfPowerUp() < 0 || powerUp->getKindOfPowerUp() == 2 ||
            powerUp->getKindOfPowerUp() > 3)
            continue;
        const int colour = CounterOfKind[powerUp->getKindOfPowerUp()];
        if (counters[colour] >= wanted[colour])
            continue;
        const sf::Vector2f at = powerUp->getPosition();
        const float bottom = at.y + powerUp->getSize().y;
        const int floor = std::abs(bottom - worldSize.y) < 0.5f
                              ? static_cast<int>(map.getGridSize().y)
                              : static_cast<int>(std::lround(bottom / tile.y));
        addStandings(routes, floor, at.x, at.x + powerUp->getSize().x,
                     {Errand::Kind::PickUp, -1, nullptr}, goals, found);
    }
    // Red comes from power blocks.
    if (counters[0] + lying[0] < reds)
        for (const int cell : map.getSolidCells())
            if (map.getBlock(cell)->getTileNumber() == ChargedPowerBlock)
                addStrikes(map, routes, cell, BumpCost, {Errand::Kind::Bump, cell, nullptr}, goals,
                           found);
    // Green: the key of every green spawner, hidden in one of the marked blocks.
    if (counters[2] + lying[2] < greens)
        for (const int cell : keyCells)
            if (!emptied.count(cell) && !tried.count(cell))
                addStrikes(map, routes, cell, BumpCost, {Errand::Kind::Bump, cell, nullptr}, goals,
                           found);
    // Yellow comes from marked wolves knocked off a block; when none is marked, wolves are
    // knocked and scrapped so that new ones come, which may be marked.
    if (counters[1] + lying[1] < yellows) {
        const Animal* marked = nullptr;
        std::vector<const Animal*> others;
        for (const auto& child : world.getOpponent()->getChildren()) {
            const auto* wolf = dynamic_cast<const Animal*>(child.get());
            if (!wolf || wolf->isDestroyed())
                continue;
            if (wolf->isMarked() && wolf->getMode() == Modes::Active)
                marked = wolf;
            else
                others.push_back(wolf);
        }
        std::vector<const Animal*> hunted;
        if (marked)
            hunted.push_back(marked);
        else
            for (const Animal* wolf : others)
                if (wolf->getMode() == Modes::Active)
                    hunted.push_back(wolf);
        for (const Animal* wolf : hunted)
            addAmbush(map, routes, quarry, *wolf, HuntCost, rows, 0, goals, found);
    }
    // A stunned wolf nearby is scrapped: the one that comes out of a spawner instead walks at the
    // first speed, while every wolf that goes through a portal, or wakes up, comes back faster.
    for (const auto& child : world.getOpponent()->getChildren()) {
        const auto* wolf = dynamic_cast<const Animal*>(child.get());
        if (!wolf || wolf->isDestroyed() || wolf->getMode() != Modes::Stunned ||
            wolf->getStunTime() - wolf->getStunElapsed() < ScrapInTime)
            continue;
        const sf::Vector2f at = wolf->getPosition();
        const int wolfFloor = static_cast<int>(std::lround((at.y + wolf->getSize().y) / tile.y));
        if (std::abs(wolfFloor - floor) <= ObstacleRows)
            addStandings(routes, wolfFloor, at.x, at.x + wolf->getSize().x,
                         {Errand::Kind::Scrap, -1, wolf}, goals, found, ScrapCost);
    }
    return goals;
}
