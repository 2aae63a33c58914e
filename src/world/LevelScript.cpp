#include "world/LevelScript.hpp"

#include "core/LuaState.hpp"

#include <lua.hpp>

#include <cstdlib>
#include <limits>
#include <memory>

namespace {

// Far beyond any real level; keeps a corrupt size from eating the machine's memory.
const double MaxCells = 1000000.0;

// A level script is a table of numbers: anything that runs longer or grows larger than this is
// a broken file (an endless loop, a runaway table), stopped with an error instead of hanging. The
// largest level shipped needs 250 KB; eight times that is a level of some 30,000 cells.
const long InstructionBudget = 50000000;
const std::size_t MemoryBudget = 2u * 1024u * 1024u;

// Raw reads never call metamethods, so a strange table cannot raise an error outside
// protected mode.
void pushField(lua_State* lua, int table, const char* key) {
    lua_pushstring(lua, key);
    lua_rawget(lua, table);
}

bool readSize(lua_State* lua, int layer, const char* name, long& out, std::string& problem) {
    pushField(lua, layer, name);
    int isNumber = 0;
    const double value = lua_tonumberx(lua, -1, &isNumber);
    lua_pop(lua, 1);
    if (!isNumber || !(value >= 1.0)) {
        problem = std::string("the first layer's ") + name + " is not a positive number";
        return false;
    }
    if (value > MaxCells) {
        problem = std::string("the first layer's ") + name + " is absurdly large";
        return false;
    }
    out = static_cast<long>(value);
    return true;
}

// Copies layer.data[1 .. count] into out; missing entries are empty cells.
bool readData(lua_State* lua, int layer, int layerNumber, long count, std::vector<int>& out,
              std::string& problem) {
    pushField(lua, layer, "data");
    const int data = lua_gettop(lua);
    if (!lua_istable(lua, data)) {
        problem = "layer " + std::to_string(layerNumber) + " has no data array";
        return false;
    }
    out.assign(static_cast<std::size_t>(count), 0);
    for (long i = 0; i < count; ++i) {
        lua_rawgeti(lua, data, static_cast<int>(i + 1));
        if (!lua_isnil(lua, -1)) {
            int isNumber = 0;
            const double value = lua_tonumberx(lua, -1, &isNumber);
            if (!isNumber || !(value >= std::numeric_limits<int>::min() &&
                               value <= std::numeric_limits<int>::max())) {
                problem = "layer " + std::to_string(layerNumber) + " data entry " +
                          std::to_string(i + 1) + " is not a tile number";
                return false;
            }
            out[static_cast<std::size_t>(i)] = static_cast<int>(value);
        }
        lua_pop(lua, 1);
    }
    lua_pop(lua, 1);
    return true;
}

} // namespace

bool LevelScript::load(const std::string& path) {
    problem.clear();
    if (read(path))
        return true;
    width = 0;
    height = 0;
    tiles.clear();
    markers.clear();
    return false;
}

bool LevelScript::read(const std::string& path) {
    LuaState script(MemoryBudget, InstructionBudget);
    lua_State* lua = script.get();
    if (!lua) {
        problem = "no memory for the script interpreter";
        return false;
    }
    if (!script.runFile(path, LUA_MULTRET)) {
        problem =
            (script.failedToLoad() ? "cannot be loaded: " : "fails to run: ") + script.error();
        return false;
    }
    if (lua_gettop(lua) == 0) {
        problem = "returns nothing";
        return false;
    }
    // Only the last result matters; keeping just it leaves room on the stack for the reads.
    lua_copy(lua, -1, 1);
    lua_settop(lua, 1);
    if (!lua_istable(lua, 1) || !lua_checkstack(lua, 8)) {
        problem = "does not return a table";
        return false;
    }
    pushField(lua, 1, "layers");
    if (!lua_istable(lua, 2)) {
        problem = "has no layers table";
        return false;
    }
    lua_rawgeti(lua, 2, 1);
    lua_rawgeti(lua, 2, 2);
    if (!lua_istable(lua, 3) || !lua_istable(lua, 4)) {
        problem = "has fewer than two layers";
        return false;
    }
    if (!readSize(lua, 3, "width", width, problem) || !readSize(lua, 3, "height", height, problem))
        return false;
    if (static_cast<double>(width) * static_cast<double>(height) > MaxCells) {
        problem = "is " + std::to_string(width) + " x " + std::to_string(height) +
                  " cells, more than a million";
        return false;
    }
    const long count = width * height;
    return readData(lua, 3, 1, count, tiles, problem) &&
           readData(lua, 4, 2, count, markers, problem);
}
