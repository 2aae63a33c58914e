#include "world/LevelScript.hpp"

#include <lua.hpp>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>

namespace {

// Far beyond any real level; keeps a corrupt size from eating the machine's memory.
const double MaxCells = 1000000.0;

// A level script is a table of numbers: anything that runs longer or grows larger than this is
// a broken file (an endless loop, a runaway table), stopped with an error instead of hanging.
const int InstructionBudget = 50000000;
const std::size_t MemoryBudget = 256u * 1024u * 1024u;

struct LuaCloser {
    void operator()(lua_State* state) const { lua_close(state); }
};
using LuaState = std::unique_ptr<lua_State, LuaCloser>;

struct Allowance {
    std::size_t used = 0;
    std::size_t limit = MemoryBudget;
};

// The interpreter's allocator with a ceiling; a refused allocation is a memory error in the
// script, which the protected call reports. Shrinking never fails, as the interpreter requires.
void* budgetedAlloc(void* userData, void* block, std::size_t oldSize, std::size_t newSize) {
    auto& allowance = *static_cast<Allowance*>(userData);
    const std::size_t old = block ? oldSize : 0;
    if (newSize == 0) {
        std::free(block);
        allowance.used -= old;
        return nullptr;
    }
    if (newSize > old && allowance.used - old + newSize > allowance.limit)
        return nullptr;
    void* resized = std::realloc(block, newSize);
    if (resized)
        allowance.used = allowance.used - old + newSize;
    return resized;
}

void stopRunaway(lua_State* lua, lua_Debug*) {
    luaL_error(lua, "the script runs far too long (an endless loop?)");
}

std::string errorText(lua_State* lua) {
    const char* text = lua_tostring(lua, -1);
    return text ? text : "(the error is not a text)";
}

// Raw reads never call metamethods, so a strange table cannot raise an error outside
// protected mode.
void pushField(lua_State* lua, int table, const char* key) {
    lua_pushstring(lua, key);
    lua_rawget(lua, table);
}

bool readSize(lua_State* lua, int layer, const char* name, long& out, std::string& problem) {
    pushField(lua, layer, name);
    const bool isNumber = lua_type(lua, -1) == LUA_TNUMBER;
    const double value = isNumber ? lua_tonumber(lua, -1) : 0.0;
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
        const int type = lua_type(lua, -1);
        if (type != LUA_TNIL) {
            const double value = type == LUA_TNUMBER ? lua_tonumber(lua, -1) : std::nan("");
            if (!(value >= std::numeric_limits<int>::min() &&
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
    Allowance allowance;
    const LuaState owner(lua_newstate(budgetedAlloc, &allowance));
    lua_State* lua = owner.get();
    if (!lua) {
        problem = "no memory for the script interpreter";
        return false;
    }
    luaL_openlibs(lua);
    lua_sethook(lua, stopRunaway, LUA_MASKCOUNT, InstructionBudget);
    const int loaded = luaL_loadfile(lua, path.c_str());
    const int ran = loaded == LUA_OK ? lua_pcall(lua, 0, LUA_MULTRET, 0) : LUA_OK;
    // What follows runs outside protected mode, where a refused allocation would abort.
    allowance.limit = std::numeric_limits<std::size_t>::max();
    if (loaded != LUA_OK) {
        problem = "cannot be loaded: " + errorText(lua);
        return false;
    }
    if (ran != LUA_OK) {
        problem = "fails to run: " + errorText(lua);
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
