// The shipped levels: every data/Levels/LevelN.lua loads as the game reads it, follows the rules
// that make a level clearable, and is exactly what tmx2lua makes from its Tiled source.

#include "TestSupport.hpp"

#include <gtest/gtest.h>
#include <lua.hpp>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testsupport::readFile;
using testsupport::run;
using testsupport::TempDir;
using testsupport::writeFile;

// Tile numbers of the level format.
constexpr int firstPlainTile = 1;
constexpr int powerTile = 5;
constexpr int redSpawnerTile = 6;
constexpr int lastSpawnerTile = 9;
constexpr int portalTile = 10;
constexpr int keyPlaceTile = 11; // the picture of the blocks a key may be hidden in
constexpr int mapColumns = 30;

// The tank as the map sees it: 76 px tall, two columns wide at the smallest window (55 px against
// 42 px tiles). A jump at 775 px/s against gravity 1500 rises about 200 px; 190 leaves slack.
constexpr float tankHeight = 76.f;
constexpr float safeRise = 190.f;

// Tile heights the levels must work at: 1280 and 1920 px wide windows (36 * (width / 30) / 64).
struct Screen {
    const char* name;
    float tileHeight;
};
constexpr Screen screens[] = {{"1280 px window", 23.625f}, {"1920 px window", 36.f}};

struct LevelMap {
    int width = 0;
    int height = 0;
    std::vector<long long> tiles;
    std::vector<long long> markers;

    long long tile(int row, int column) const {
        return tiles[static_cast<std::size_t>(row * width + column)];
    }
    bool marked(int row, int column) const {
        return markers[static_cast<std::size_t>(row * width + column)] != 0;
    }
};

bool isSpawner(long long tile) {
    return tile >= redSpawnerTile && tile <= lastSpawnerTile;
}

// Plain and power blocks and key places are solid; spawners and portals let actors through.
bool isSolid(long long tile) {
    return (tile >= firstPlainTile && tile <= powerTile) || tile == keyPlaceTile;
}

std::string cellName(int row, int column) {
    return "(row " + std::to_string(row) + ", column " + std::to_string(column) + ")";
}

// Reads one array field of the table on top of the stack; false when it is no array of integers.
bool readIntegers(lua_State* lua, const char* field, std::vector<long long>& out) {
    lua_getfield(lua, -1, field);
    if (!lua_istable(lua, -1)) {
        lua_pop(lua, 1);
        return false;
    }
    const auto count = static_cast<int>(lua_rawlen(lua, -1));
    bool ok = true;
    for (int i = 1; i <= count && ok; ++i) {
        lua_rawgeti(lua, -1, i);
        int isNumber = 0;
        const lua_Integer value = lua_tointegerx(lua, -1, &isNumber);
        ok = isNumber != 0 && lua_tonumber(lua, -1) == static_cast<lua_Number>(value);
        out.push_back(value);
        lua_pop(lua, 1);
    }
    lua_pop(lua, 1);
    return ok;
}

bool readInteger(lua_State* lua, const char* field, int& out) {
    lua_getfield(lua, -1, field);
    int isNumber = 0;
    out = static_cast<int>(lua_tointegerx(lua, -1, &isNumber));
    lua_pop(lua, 1);
    return isNumber != 0;
}

// Runs a level script in a fresh interpreter, as the game's loader does, and takes its last
// result's layers. Returns an empty string or what is wrong with the file.
std::string readLevel(const fs::path& file, LevelMap& map) {
    lua_State* lua = luaL_newstate();
    luaL_openlibs(lua);
    std::string error;
    const int base = lua_gettop(lua);
    if (luaL_loadfile(lua, file.c_str()) != LUA_OK || lua_pcall(lua, 0, LUA_MULTRET, 0) != LUA_OK) {
        error = std::string("does not run: ") + lua_tostring(lua, -1);
    } else if (lua_gettop(lua) == base || !lua_istable(lua, -1)) {
        error = "returns no table";
    } else {
        lua_getfield(lua, -1, "layers");
        if (!lua_istable(lua, -1) || lua_rawlen(lua, -1) < 2) {
            error = "has no layers table with two layers";
        } else {
            lua_rawgeti(lua, -1, 1);
            if (!lua_istable(lua, -1) || !readInteger(lua, "width", map.width) ||
                !readInteger(lua, "height", map.height) || !readIntegers(lua, "data", map.tiles))
                error = "layers[1] lacks width, height or a data array of whole numbers";
            lua_pop(lua, 1);
            lua_rawgeti(lua, -1, 2);
            if (error.empty() && (!lua_istable(lua, -1) || !readIntegers(lua, "data", map.markers)))
                error = "layers[2] has no data array of whole numbers";
        }
    }
    lua_close(lua);
    return error;
}

// Where the tank can be, on a grid of standing spots: a spot (floor row f, column c) has the tank
// on top of row f (row == height is the world's floor) over columns c and c + 1, with solid
// ground under both and its whole body's rows above free. From a spot the tank drives to the
// next spot along the same floor, or jumps or drops two to four columns sideways: straight up
// (at most safeRise when it climbs), across at the height of the higher floor or one row above
// it (over a wall one block high), straight down. Wrapping around the map's sides is not used.
// It is a quick first check; the automatic player's play-through of every level is the proof.
class Reach {
public:
    Reach(const LevelMap& levelMap, float tileHeight)
        : map(levelMap), bodyRows(static_cast<int>(std::ceil(tankHeight / tileHeight))),
          maxRiseRows(static_cast<int>(safeRise / tileHeight)), tileHeight(tileHeight) {
        explore();
    }

    int rowsForBody() const { return bodyRows; }
    bool startIsStandable() const { return isSpot(map.height, 0); }
    bool reachable(int floor, int column) const { return found.count({floor, column}) != 0; }

    // The tank can touch the cell while standing or driving (spawners are touched this way).
    bool canTouch(int row, int column) const {
        for (int floor = row + 1; floor <= row + bodyRows; ++floor) {
            if (reachable(floor, column - 1) || reachable(floor, column))
                return true;
        }
        return false;
    }

    // The tank stands below the block with room for its body, close enough to hit it jumping.
    bool canStrikeFromBelow(int row, int column) const {
        for (int left = column - 1; left <= column; ++left) {
            for (int floor = row + 1;
                 floor <= map.height && clear(row + 1, floor - 1, left, left + 1); ++floor) {
                const float headGap = static_cast<float>(floor - row - 1) * tileHeight - tankHeight;
                if (reachable(floor, left) && headGap <= safeRise)
                    return true;
            }
        }
        return false;
    }

    // The tank can drive onto the block's top, where whatever the block releases lands.
    bool canStandOn(int row, int column) const {
        return reachable(row, column - 1) || reachable(row, column);
    }

private:
    const LevelMap& map;
    const int bodyRows;
    const int maxRiseRows;
    const float tileHeight;
    std::set<std::pair<int, int>> found;

    // No solid cell in the rows and columns given; beyond the sides counts as blocked, above the
    // map as open (nothing collides there).
    bool clear(int firstRow, int lastRow, int firstColumn, int lastColumn) const {
        if (firstColumn < 0 || lastColumn >= map.width)
            return false;
        for (int row = std::max(firstRow, 0); row <= lastRow; ++row) {
            if (row >= map.height)
                return false;
            for (int column = firstColumn; column <= lastColumn; ++column) {
                if (isSolid(map.tile(row, column)))
                    return false;
            }
        }
        return true;
    }

    bool ground(int floor, int column) const {
        return floor == map.height ||
               (floor >= 0 && floor < map.height && isSolid(map.tile(floor, column)));
    }

    bool isSpot(int floor, int column) const {
        return column >= 0 && column + 1 < map.width && ground(floor, column) &&
               ground(floor, column + 1) && clear(floor - bodyRows, floor - 1, column, column + 1);
    }

    // The arc passes `lift` rows above the higher floor (over a wall one block high).
    bool canJump(int fromFloor, int fromColumn, int toFloor, int toColumn, int lift) const {
        const int top = std::min(fromFloor, toFloor) - lift;
        if (fromFloor - top > maxRiseRows)
            return false;
        return clear(top - bodyRows, fromFloor - 1, fromColumn, fromColumn + 1) &&
               clear(top - bodyRows, top - 1, std::min(fromColumn, toColumn),
                     std::max(fromColumn, toColumn) + 1) &&
               clear(top - bodyRows, toFloor - 1, toColumn, toColumn + 1);
    }

    void explore() {
        if (!startIsStandable())
            return;
        std::vector<std::pair<int, int>> pending{{map.height, 0}};
        found.insert(pending.back());
        const auto visit = [&](int floor, int column) {
            if (found.insert({floor, column}).second)
                pending.emplace_back(floor, column);
        };
        while (!pending.empty()) {
            const auto [floor, column] = pending.back();
            pending.pop_back();
            for (const int step : {-1, 1}) {
                if (isSpot(floor, column + step))
                    visit(floor, column + step);
            }
            for (const int step : {-4, -3, -2, 2, 3, 4}) {
                const int target = column + step;
                if (target < 0 || target + 1 >= map.width)
                    continue;
                for (int to = std::max(floor - maxRiseRows, 0); to <= map.height; ++to) {
                    // Dropping ends on the first floor below; nothing further down is reached.
                    if (to > floor && !clear(to - 1, to - 1, target, target + 1))
                        break;
                    if (isSpot(to, target) && (to != floor || std::abs(step) > 2) &&
                        (canJump(floor, column, to, target, 0) ||
                         canJump(floor, column, to, target, 1)))
                        visit(to, target);
                }
            }
        }
    }
};

// What is wrong with a level as far as clearing it goes; empty when nothing is.
std::vector<std::string> ruleBreaches(const LevelMap& map) {
    std::vector<std::string> breaches;
    int spawners = 0;
    int powerBlocks = 0;
    int markedCells = 0;
    for (int row = 0; row < map.height; ++row) {
        for (int column = 0; column < map.width; ++column) {
            const long long tile = map.tile(row, column);
            const std::string where = cellName(row, column);
            if (tile < 0 || tile > keyPlaceTile)
                breaches.push_back("tile number " + std::to_string(tile) + " at " + where);
            if (isSpawner(tile)) {
                ++spawners;
                // Red is the only colour a spawner can be paid in first: red units come from power
                // blocks, the others only once a spawner has turned yellow.
                if (tile != redSpawnerTile)
                    breaches.push_back("spawner at " + where + " does not start red");
                // Wolves step out beside the bottom corners: 50 x 70 px, three rows at 1280.
                for (int r = row - 2; r <= row; ++r) {
                    for (const int c : {column - 2, column - 1, column + 1, column + 2}) {
                        if (c < 0 || c >= map.width || (r >= 0 && isSolid(map.tile(r, c))))
                            breaches.push_back("no room for wolves beside the spawner at " + where);
                    }
                }
            }
            if (tile == powerTile)
                ++powerBlocks;
            // A player finds the key by the picture of the blocks it may be in.
            if (map.marked(row, column)) {
                ++markedCells;
                if (tile != keyPlaceTile)
                    breaches.push_back("marked cell " + where + " is no key place");
            } else if (tile == keyPlaceTile) {
                breaches.push_back("key place " + where + " has no marker");
            }
        }
    }
    if (spawners == 0)
        breaches.push_back("no spawner");
    if (powerBlocks < spawners)
        breaches.push_back(std::to_string(powerBlocks) + " power blocks for " +
                           std::to_string(spawners) + " spawners");
    if (markedCells < spawners)
        breaches.push_back(std::to_string(markedCells) + " marked cells for " +
                           std::to_string(spawners) + " spawners");

    for (const Screen& screen : screens) {
        const Reach reach(map, screen.tileHeight);
        if (!reach.startIsStandable()) {
            breaches.push_back(std::string("no room for the tank at the start, ") + screen.name);
            continue;
        }
        for (int row = 0; row < map.height; ++row) {
            for (int column = 0; column < map.width; ++column) {
                const long long tile = map.tile(row, column);
                const std::string where = cellName(row, column) + ", " + screen.name;
                if (isSpawner(tile) && !reach.canTouch(row, column))
                    breaches.push_back("the tank cannot reach the spawner at " + where);
                if (tile == powerTile || (map.marked(row, column) && isSolid(tile))) {
                    const std::string what = tile == powerTile ? "power block" : "marked block";
                    if (!reach.canStrikeFromBelow(row, column))
                        breaches.push_back("the tank cannot strike the " + what + " at " + where);
                    if (!reach.canStandOn(row, column))
                        breaches.push_back("the tank cannot pick up what the " + what + " at " +
                                           where + " releases");
                }
            }
        }
    }
    return breaches;
}

// Builds a map from rows of text: '.' empty, '#' plain block, 'P' power block, 'S' red spawner,
// 'O' portal, 'M' marked key place.
LevelMap mapFromRows(const std::vector<std::string>& rows) {
    LevelMap map;
    map.width = static_cast<int>(rows.front().size());
    map.height = static_cast<int>(rows.size());
    for (const std::string& row : rows) {
        for (const char cell : row) {
            const int tile = cell == '#'   ? 1
                             : cell == 'M' ? keyPlaceTile
                             : cell == 'P' ? powerTile
                             : cell == 'S' ? redSpawnerTile
                             : cell == 'O' ? portalTile
                                           : 0;
            map.tiles.push_back(tile);
            map.markers.push_back(cell == 'M' ? 1 : 0);
        }
    }
    return map;
}

// A map 30 wide, all empty but the given rows (counted from the top).
LevelMap sparseMap(int height, const std::vector<std::pair<int, std::string>>& rows) {
    std::vector<std::string> text(static_cast<std::size_t>(height), std::string(mapColumns, '.'));
    for (const auto& [index, row] : rows)
        text[static_cast<std::size_t>(index)] = row;
    return mapFromRows(text);
}

fs::path levelScript(int number) {
    return testsupport::dataDir() / "Levels" / ("Level" + std::to_string(number) + ".lua");
}

std::vector<fs::path> shippedLevels() {
    std::vector<fs::path> levels;
    for (int number = 1; fs::exists(levelScript(number)); ++number)
        levels.push_back(levelScript(number));
    return levels;
}

fs::path converter() {
    return fs::path(QUELLIX_BINARY_DIR) / "tools" / "tmx2lua" / "tmx2lua";
}

std::string quotedPath(const fs::path& path) {
    return "'" + path.string() + "'";
}

// --- The rule checker itself, on small maps with worked numbers ------------------------------

TEST(LevelRules, ClimbOfFiveRowsThroughATwoTileGapIsReachableAtBothSizes) {
    // Floor at row 10; the platform's top is 5 rows up: 180 px at 1920, 118 px at 1280.
    const LevelMap map = sparseMap(
        10, {{4, "......S......................."}, {5, "..P#######.................MM#"}});
    EXPECT_EQ(ruleBreaches(map), std::vector<std::string>{});
    for (const Screen& screen : screens) {
        const Reach reach(map, screen.tileHeight);
        EXPECT_TRUE(reach.reachable(5, 3)) << screen.name;
        EXPECT_TRUE(reach.canTouch(4, 6)) << screen.name;
        EXPECT_TRUE(reach.canStrikeFromBelow(5, 2)) << screen.name;
    }
}

TEST(LevelRules, ClimbOfSixRowsIsTooHighAt1920ButNotAt1280) {
    // 6 rows: 216 px at 1920 (above the 190 px the tank surely jumps), 141.75 px at 1280.
    const LevelMap map = sparseMap(10, {{4, "...########..................."}});
    EXPECT_TRUE(Reach(map, 23.625f).reachable(4, 3));
    EXPECT_FALSE(Reach(map, 36.f).reachable(4, 3));
}

TEST(LevelRules, ThreeRowsOfHeadRoomFitTheTankOnlyAt1920) {
    // 3 rows are 108 px at 1920 but 70.875 px at 1280, less than the tank's 76 px.
    const LevelMap map = sparseMap(10, {{6, "..M..........................."}});
    EXPECT_TRUE(Reach(map, 36.f).canStrikeFromBelow(6, 2));
    EXPECT_FALSE(Reach(map, 23.625f).canStrikeFromBelow(6, 2));
    const auto breaches = ruleBreaches(map);
    EXPECT_NE(std::find(breaches.begin(), breaches.end(),
                        "the tank cannot strike the marked block at (row 6, column 2), "
                        "1280 px window"),
              breaches.end());
}

TEST(LevelRules, GapOfOneTileDoesNotLetTheTankThrough) {
    // A full-width ceiling with a single open column: 42 px at 1280, narrower than the tank.
    const LevelMap map = sparseMap(10, {{5, "###############.##############"}});
    for (const Screen& screen : screens) {
        const Reach reach(map, screen.tileHeight);
        for (int column = 0; column + 1 < mapColumns; ++column)
            EXPECT_FALSE(reach.reachable(5, column)) << screen.name << " column " << column;
    }
}

TEST(LevelRules, ReportsSpawnerColoursCountsAndUnreachableBlocks) {
    LevelMap map = sparseMap(20, {{0, "............S................."},
                                  {1, "...........###.....M.........."},
                                  {15, "..P#.........................."}});
    map.tiles[12] = 7;                     // a yellow spawner could never be paid
    map.tiles[15 * 30 + 3] = keyPlaceTile; // looks like a key place, but the key never goes there
    map.markers[1 * 30 + 11] = 1;          // the key may go there, but nothing shows it
    const auto breaches = ruleBreaches(map);
    const auto has = [&](const std::string& text) {
        return std::any_of(breaches.begin(), breaches.end(),
                           [&](const std::string& b) { return b.find(text) != std::string::npos; });
    };
    EXPECT_TRUE(has("spawner at (row 0, column 12) does not start red"));
    EXPECT_TRUE(has("the tank cannot reach the spawner at (row 0, column 12)"));
    EXPECT_TRUE(has("the tank cannot strike the marked block at (row 1, column 19), 1920"));
    EXPECT_TRUE(has("the tank cannot pick up what the marked block at (row 1, column 19)"));
    EXPECT_TRUE(has("key place (row 15, column 3) has no marker"));
    EXPECT_TRUE(has("marked cell (row 1, column 11) is no key place"));
    EXPECT_FALSE(has("power blocks for"));
    EXPECT_FALSE(has("power block at (row 15, column 2)")); // 4 rows above the floor: fine
}

TEST(LevelRules, CountsPowerBlocksAndMarkersAgainstSpawners) {
    const LevelMap map = sparseMap(
        10, {{4, "....S.......S................."}, {5, "..P#######.................MM#"}});
    const auto breaches = ruleBreaches(map);
    EXPECT_NE(std::find(breaches.begin(), breaches.end(), "1 power blocks for 2 spawners"),
              breaches.end());
    EXPECT_EQ(std::find(breaches.begin(), breaches.end(), "2 marked cells for 2 spawners"),
              breaches.end());
}

// --- The shipped levels ----------------------------------------------------------------------

TEST(ShippedLevels, AtLeastEightAreNumberedFromOne) {
    EXPECT_GE(shippedLevels().size(), 8u) << "in " << (testsupport::dataDir() / "Levels");
}

TEST(ShippedLevels, EachLoadsAsThirtyColumnsWithTwoFullLayers) {
    for (const fs::path& file : shippedLevels()) {
        SCOPED_TRACE(file.string());
        LevelMap map;
        ASSERT_EQ(readLevel(file, map), "");
        EXPECT_EQ(map.width, mapColumns);
        // The view shows about 24 rows; the first level fits a little over one view, the
        // others are towers of several.
        EXPECT_GE(map.height, file == shippedLevels().front() ? 30 : 60);
        EXPECT_EQ(map.tiles.size(), static_cast<std::size_t>(map.width * map.height));
        EXPECT_EQ(map.markers.size(), static_cast<std::size_t>(map.width * map.height));
    }
}

TEST(ShippedLevels, EachCanBeClearedAtEveryWindowSize) {
    for (const fs::path& file : shippedLevels()) {
        SCOPED_TRACE(file.string());
        LevelMap map;
        ASSERT_EQ(readLevel(file, map), "");
        ASSERT_EQ(map.tiles.size(), static_cast<std::size_t>(map.width * map.height));
        ASSERT_EQ(map.markers.size(), map.tiles.size());
        std::ostringstream report;
        for (const std::string& breach : ruleBreaches(map))
            report << "\n  " << breach;
        EXPECT_EQ(report.str(), "");
    }
}

TEST(ShippedLevels, LaterLevelsAreTallerAndHaveMoreSpawners) {
    std::vector<std::pair<int, int>> sizes; // (rows, spawners)
    for (const fs::path& file : shippedLevels()) {
        LevelMap map;
        ASSERT_EQ(readLevel(file, map), "") << file;
        sizes.emplace_back(map.height, static_cast<int>(std::count_if(map.tiles.begin(),
                                                                      map.tiles.end(), isSpawner)));
    }
    for (std::size_t i = 1; i < sizes.size(); ++i) {
        EXPECT_GE(sizes[i].first, sizes[i - 1].first) << "level " << i + 1;
        EXPECT_GE(sizes[i].second, sizes[i - 1].second) << "level " << i + 1;
    }
}

TEST(ShippedLevels, EachIsWhatTheConverterMakesFromItsTiledMap) {
    ASSERT_TRUE(fs::exists(converter())) << converter() << " is not built";
    const fs::path sources = fs::path(QUELLIX_SOURCE_DIR) / "assets" / "levels";
    const auto levels = shippedLevels();
    ASSERT_FALSE(levels.empty());
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const std::string name = "Level" + std::to_string(i + 1);
        SCOPED_TRACE(name);
        // Written beside the shipped script, so the tileset picture's relative path is the same.
        const fs::path fresh = levels[i].parent_path() /
                               ("." + name + ".check-" + std::to_string(::getpid()) + ".lua");
        const int status = run(quotedPath(converter()) + " " +
                               quotedPath(sources / (name + ".tmx")) + " " + quotedPath(fresh));
        const std::string made = readFile(fresh);
        fs::remove(fresh);
        ASSERT_EQ(status, 0);
        EXPECT_TRUE(made == readFile(levels[i])) << levels[i] << " differs from its source";
    }
    EXPECT_FALSE(fs::exists(sources / ("Level" + std::to_string(levels.size() + 1) + ".tmx")))
        << "a Tiled map has no script: rebuild";
}

// --- The converter ---------------------------------------------------------------------------

const char* const tilesetFile = R"(<?xml version="1.0" encoding="UTF-8"?>
<tileset version="1.10" name="Objects" tilewidth="64" tileheight="36" tilecount="10" columns="10">
 <image source="../Images/Objects.png" width="640" height="36"/>
</tileset>
)";

std::string tmxMap(const std::string& layers) {
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<map version="1.10" orientation="orthogonal" renderorder="right-down" width="3" height="2" tilewidth="64" tileheight="36" infinite="0" nextlayerid="3" nextobjectid="1">
 <tileset firstgid="1" source="Objects.tsx"/>
)" + layers +
           "</map>\n";
}

std::string tmxLayer(int id, const std::string& name, const std::string& csv) {
    return " <layer id=\"" + std::to_string(id) + "\" name=\"" + name +
           "\" width=\"3\" height=\"2\">\n  <data encoding=\"csv\">\n" + csv +
           "\n</data>\n </layer>\n";
}

struct Conversion {
    int status = -1;
    std::string errors;
    LevelMap map;
    std::string readError;
};

// Converts a map written into a scratch folder laid out like the game's: Maps/, Levels/, Images/.
Conversion convert(const TempDir& dir, const std::string& map) {
    writeFile(dir / "Maps" / "Objects.tsx", tilesetFile);
    writeFile(dir / "Maps" / "Level.tmx", map);
    fs::create_directories(dir / "Levels");
    Conversion result;
    result.status =
        run(quotedPath(converter()) + " " + quotedPath(dir / "Maps" / "Level.tmx") + " " +
            quotedPath(dir / "Levels" / "Level1.lua") + " 2> " + quotedPath(dir / "errors.txt"));
    result.errors = readFile(dir / "errors.txt");
    if (result.status == 0)
        result.readError = readLevel(dir / "Levels" / "Level1.lua", result.map);
    return result;
}

TEST(Tmx2Lua, WritesBothLayersRowByRowFromTheTopLeft) {
    ASSERT_TRUE(fs::exists(converter())) << converter() << " is not built";
    const TempDir dir;
    const Conversion result = convert(dir, tmxMap(tmxLayer(1, "Tiles", "0,1,2,\n5,6,10") +
                                                  tmxLayer(2, "Key markers", "0,0,1,\n0,0,0")));
    ASSERT_EQ(result.status, 0) << result.errors;
    ASSERT_EQ(result.readError, "");
    EXPECT_EQ(result.map.width, 3);
    EXPECT_EQ(result.map.height, 2);
    EXPECT_EQ(result.map.tiles, (std::vector<long long>{0, 1, 2, 5, 6, 10}));
    EXPECT_EQ(result.map.markers, (std::vector<long long>{0, 0, 1, 0, 0, 0}));
    const std::string script = readFile(dir / "Levels" / "Level1.lua");
    EXPECT_NE(script.find("image = \"../Images/Objects.png\""), std::string::npos) << script;
    EXPECT_NE(script.find("name = \"Key markers\""), std::string::npos);
}

TEST(Tmx2Lua, MapWithOneLayerFailsNamingFileAndProblem) {
    const TempDir dir;
    const Conversion result = convert(dir, tmxMap(tmxLayer(1, "Tiles", "0,1,2,\n5,6,10")));
    EXPECT_NE(result.status, 0);
    EXPECT_NE(result.errors.find("Level.tmx"), std::string::npos) << result.errors;
    EXPECT_NE(result.errors.find("1 tile layer"), std::string::npos) << result.errors;
    EXPECT_FALSE(fs::exists(dir / "Levels" / "Level1.lua"));
}

TEST(Tmx2Lua, LayerWithTooFewNumbersFailsNamingLayerAndCounts) {
    const TempDir dir;
    const Conversion result = convert(dir, tmxMap(tmxLayer(1, "Tiles", "0,1,2,\n5,6") +
                                                  tmxLayer(2, "Key markers", "0,0,1,\n0,0,0")));
    EXPECT_NE(result.status, 0);
    EXPECT_NE(result.errors.find("Level.tmx"), std::string::npos) << result.errors;
    EXPECT_NE(result.errors.find("layer 'Tiles' has 5 tile numbers, expected 6"), std::string::npos)
        << result.errors;
}

TEST(Tmx2Lua, NonNumericEntryFailsNamingItsPlace) {
    const TempDir dir;
    const Conversion result = convert(dir, tmxMap(tmxLayer(1, "Tiles", "0,1,2,\n5,6,10") +
                                                  tmxLayer(2, "Key markers", "0,0,1,\n0,x,0")));
    EXPECT_NE(result.status, 0);
    EXPECT_NE(result.errors.find("Level.tmx"), std::string::npos) << result.errors;
    EXPECT_NE(result.errors.find("layer 'Key markers', entry 5 (row 1, column 1): 'x' is not a "
                                 "tile number"),
              std::string::npos)
        << result.errors;
}

TEST(Tmx2Lua, TileOutsideTheTilesetFails) {
    const TempDir dir;
    const Conversion result = convert(dir, tmxMap(tmxLayer(1, "Tiles", "0,1,2,\n5,6,11") +
                                                  tmxLayer(2, "Key markers", "0,0,1,\n0,0,0")));
    EXPECT_NE(result.status, 0);
    EXPECT_NE(result.errors.find("tile 11 is in no tileset"), std::string::npos) << result.errors;
}

TEST(Tmx2Lua, BrokenXmlAndMissingTilesetAreReported) {
    const TempDir dir;
    const Conversion broken =
        convert(dir, "<?xml version=\"1.0\"?>\n<map width=\"3\">\n <layer>\n</map>\n");
    EXPECT_NE(broken.status, 0);
    EXPECT_NE(broken.errors.find("line 4: Start-end tags mismatch"), std::string::npos)
        << broken.errors;

    const TempDir other;
    writeFile(other / "Maps" / "Level.tmx", tmxMap(tmxLayer(1, "Tiles", "0,1,2,\n5,6,10") +
                                                   tmxLayer(2, "Key markers", "0,0,1,\n0,0,0")));
    const int status =
        run(quotedPath(converter()) + " " + quotedPath(other / "Maps" / "Level.tmx") + " " +
            quotedPath(other / "Level1.lua") + " 2> " + quotedPath(other / "errors.txt"));
    const std::string errors = readFile(other / "errors.txt");
    EXPECT_NE(status, 0);
    EXPECT_NE(errors.find("tileset Objects.tsx: cannot open"), std::string::npos) << errors;
}

} // namespace
