#include "core/LuaState.hpp"

#include <cstdlib>

namespace {
// The hook runs every this many instructions; the budget is counted in these steps.
const int HookInterval = 1000;

// Game scripts are plain data and layout code. What could leave the budget or the interpreter is
// taken away: the debug library (it can switch the hook off), files, the system and C modules,
// precompiled chunks (run unchecked by the interpreter) and finalizers (they run with the hook
// off, so a looping one could never be stopped).
const char* const Sandbox = R"(
debug, io, os, package, require, dofile, loadfile = nil, nil, nil, nil, nil, nil, nil
string.dump = nil
local rawload, rawsetmetatable, type, rawget, error = load, setmetatable, type, rawget, error
load = function(chunk, name, mode, env) return rawload(chunk, name, "t", env) end
setmetatable = function(t, mt)
    if type(mt) == "table" and rawget(mt, "__gc") ~= nil then
        error("finalizers (__gc) are not allowed in game scripts", 2)
    end
    return rawsetmetatable(t, mt)
end
)";
} // namespace

LuaState::LuaState(std::size_t memoryLimit, long instructionLimit)
    : memoryLimit(memoryLimit), instructionLimit(instructionLimit) {
    state = lua_newstate(&LuaState::allocate, this);
    if (!state) {
        lastError = "not enough memory for a Lua interpreter";
        return;
    }
    luaL_openlibs(state);
    if (luaL_loadstring(state, Sandbox) != LUA_OK || lua_pcall(state, 0, 0, 0) != LUA_OK) {
        lastError = "cannot prepare the script interpreter";
        lua_close(state);
        state = nullptr;
    }
}

LuaState::~LuaState() {
    if (state)
        lua_close(state);
}

void* LuaState::allocate(void* self, void* block, std::size_t oldSize, std::size_t newSize) {
    auto* owner = static_cast<LuaState*>(self);
    const std::size_t previous = block ? oldSize : 0;
    if (newSize == 0) {
        std::free(block);
        owner->memoryUsed -= previous;
        return nullptr;
    }
    if (owner->inScript && newSize > previous &&
        owner->memoryUsed - previous + newSize > owner->memoryLimit)
        return nullptr; // Lua turns this into a "not enough memory" error
    void* grown = std::realloc(block, newSize);
    if (grown)
        owner->memoryUsed = owner->memoryUsed - previous + newSize;
    return grown;
}

// One budget for the whole interpreter: coroutines share it, so a script cannot start fresh ones
// to outrun it. The owner is found through the allocator, which scripts cannot touch.
void LuaState::countInstructions(lua_State* state, lua_Debug*) {
    void* self = nullptr;
    lua_getallocf(state, &self);
    auto* owner = static_cast<LuaState*>(self);
    if (!owner)
        return;
    owner->instructionsLeft -= HookInterval;
    if (owner->instructionsLeft < 0) {
        owner->stopped = true;
        luaL_error(state, "the script ran too long and was stopped");
    }
}

bool LuaState::protectedCall(int arguments, int results) {
    instructionsLeft = instructionLimit;
    stopped = false;
    lua_sethook(state, &LuaState::countInstructions, LUA_MASKCOUNT, HookInterval);
    inScript = true;
    const int status = lua_pcall(state, arguments, results, 0);
    inScript = false;
    lua_sethook(state, nullptr, 0, 0);
    if (status == LUA_OK)
        return true;
    const char* message = lua_tostring(state, -1);
    lastError = message ? message : "unknown error";
    if (status == LUA_ERRMEM) {
        stopped = true;
        lastError = "the script used too much memory and was stopped";
    }
    lua_pop(state, 1);
    return false;
}

bool LuaState::runFile(const std::string& path, int results) {
    if (!state)
        return false;
    inScript = true;
    const int status = luaL_loadfilex(state, path.c_str(), "t");
    inScript = false;
    loadFailed = status != LUA_OK;
    if (status != LUA_OK) {
        const char* message = lua_tostring(state, -1);
        lastError = message ? message : "cannot load";
        if (status == LUA_ERRFILE)
            lastError = "cannot open the file";
        lua_pop(state, 1);
        return false;
    }
    return protectedCall(0, results);
}

bool LuaState::runString(const std::string& chunk, const std::string& name, int results) {
    if (!state)
        return false;
    const std::string chunkName = "=" + name;
    inScript = true;
    const int status = luaL_loadbufferx(state, chunk.data(), chunk.size(), chunkName.c_str(), "t");
    inScript = false;
    if (status != LUA_OK) {
        const char* message = lua_tostring(state, -1);
        lastError = message ? message : "cannot load";
        lua_pop(state, 1);
        return false;
    }
    return protectedCall(0, results);
}

bool LuaState::call(int arguments, int results) {
    if (!state)
        return false;
    return protectedCall(arguments, results);
}
