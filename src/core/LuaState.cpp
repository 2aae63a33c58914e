#include "core/LuaState.hpp"

#include <cstdlib>
#include <filesystem>

namespace {
// The hook runs every this many instructions; the budget is counted in these steps. Few enough
// that the clock is read often even when each instruction is a slow one.
const int HookInterval = 100;

const char* const StoppedMessage = "the script ran too long and was stopped";

// Game scripts are plain data and layout code. What could leave the budget or the interpreter is
// taken away: the debug library (it can switch the hook off), files, the system and C modules,
// precompiled chunks (run unchecked by the interpreter), finalizers (they run with the hook off,
// so a looping one could never be stopped), and library functions that loop in C where the hook
// cannot see them (patterns can backtrack for ages, sorting compares in C, a full collection walks
// all memory, printing can block on a full pipe). Everything that catches errors passes the
// budget's error on, so a script cannot swallow it and go on.
const char* const Sandbox = R"(
local passUnlessStopped = ...
debug, io, os, package, require, dofile, loadfile = nil, nil, nil, nil, nil, nil, nil
print, collectgarbage = nil, nil
string.dump, string.find, string.match, string.gmatch, string.gsub = nil, nil, nil, nil, nil
table.sort = nil
local rawload, rawsetmetatable, type, rawget, error = load, setmetatable, type, rawget, error
local rawpcall, rawxpcall, rawresume = pcall, xpcall, coroutine.resume
load = function(chunk, name, mode, ...)
    return passUnlessStopped(rawload(chunk, name, "t", ...))
end
pcall = function(...) return passUnlessStopped(rawpcall(...)) end
xpcall = function(...) return passUnlessStopped(rawxpcall(...)) end
coroutine.resume = function(...) return passUnlessStopped(rawresume(...)) end
setmetatable = function(t, mt)
    if type(mt) == "table" and rawget(mt, "__gc") ~= nil then
        error("finalizers (__gc) are not allowed in game scripts", 2)
    end
    return rawsetmetatable(t, mt)
end
)";

// string.rep, except that repeating nothing gives nothing at once: the library would loop once
// per count, up to 2^63 times, where the budget cannot see it. Otherwise its loop is as long as
// its result, which the memory budget bounds.
int boundedRep(lua_State* state) {
    std::size_t length = 0;
    std::size_t separator = 0;
    luaL_checklstring(state, 1, &length);
    luaL_checknumber(state, 2);
    luaL_optlstring(state, 3, "", &separator);
    if (length + separator == 0) {
        lua_pushliteral(state, "");
        return 1;
    }
    lua_pushvalue(state, lua_upvalueindex(1));
    lua_insert(state, 1);
    lua_call(state, lua_gettop(state) - 1, 1);
    return 1;
}

void replaceRep(lua_State* state) {
    lua_getglobal(state, "string");
    lua_getfield(state, -1, "rep");
    lua_pushcclosure(state, &boundedRep, 1);
    lua_setfield(state, -2, "rep");
    lua_pop(state, 1);
}
} // namespace

LuaState::LuaState(std::size_t memoryLimit, long instructionLimit)
    : memoryLimit(memoryLimit), instructionLimit(instructionLimit) {
    state = lua_newstate(&LuaState::allocate, this);
    if (!state) {
        lastError = "not enough memory for a Lua interpreter";
        return;
    }
    luaL_openlibs(state);
    replaceRep(state);
    if (luaL_loadstring(state, Sandbox) != LUA_OK) {
        lastError = "cannot prepare the script interpreter";
        lua_close(state);
        state = nullptr;
        return;
    }
    lua_pushcfunction(state, &LuaState::passUnlessStopped);
    if (lua_pcall(state, 1, 0, 0) != LUA_OK) {
        lastError = "cannot prepare the script interpreter";
        lua_close(state);
        state = nullptr;
    }
}

LuaState::~LuaState() {
    if (state)
        lua_close(state);
}

// The owner is found through the allocator, which scripts cannot touch.
LuaState* LuaState::ownerOf(lua_State* state) {
    void* self = nullptr;
    lua_getallocf(state, &self);
    return static_cast<LuaState*>(self);
}

void* LuaState::allocate(void* self, void* block, std::size_t oldSize, std::size_t newSize) {
    auto* owner = static_cast<LuaState*>(self);
    const std::size_t previous = block ? oldSize : 0;
    if (newSize == 0) {
        std::free(block);
        owner->memoryUsed -= previous;
        return nullptr;
    }
    if (owner->inScript && newSize > previous) {
        // Lua turns a refusal into a "not enough memory" error. A new object tells its kind in
        // oldSize; a string's header is far smaller than the slack allowed here.
        if (owner->memoryUsed - previous + newSize > owner->memoryLimit)
            return nullptr;
        if (!block && oldSize == LUA_TSTRING && newSize > MaxStringLength + 64)
            return nullptr;
    }
    void* grown = std::realloc(block, newSize);
    if (grown)
        owner->memoryUsed = owner->memoryUsed - previous + newSize;
    return grown;
}

// One budget for the whole interpreter: coroutines share it, so a script cannot start fresh ones
// to outrun it.
void LuaState::countInstructions(lua_State* state, lua_Debug*) {
    LuaState* owner = ownerOf(state);
    if (!owner)
        return;
    owner->instructionsLeft -= HookInterval;
    if (owner->instructionsLeft < 0 || std::chrono::steady_clock::now() > owner->deadline)
        owner->stopped = true;
    if (owner->stopped) {
        // From now on every instruction of this coroutine raises the error again, wherever the
        // script tries to catch it.
        lua_sethook(state, &LuaState::countInstructions, LUA_MASKCOUNT, 1);
        luaL_error(state, StoppedMessage);
    }
}

// Gives back its arguments, unless the budget is spent: what a script's pcall, xpcall, load or
// coroutine.resume caught is then raised again.
int LuaState::passUnlessStopped(lua_State* state) {
    const LuaState* owner = ownerOf(state);
    if (owner && owner->stopped)
        return luaL_error(state, StoppedMessage);
    return lua_gettop(state);
}

void LuaState::setError(const char* message, const char* otherwise) {
    lastError = message ? message : otherwise;
    if (lastError.size() > MaxErrorLength) {
        lastError.resize(MaxErrorLength);
        lastError += "...";
    }
}

bool LuaState::protectedCall(int arguments, int results) {
    instructionsLeft = instructionLimit;
    deadline = std::chrono::steady_clock::now() + TimeLimit;
    stopped = false;
    lua_sethook(state, &LuaState::countInstructions, LUA_MASKCOUNT, HookInterval);
    inScript = true;
    const int status = lua_pcall(state, arguments, results, 0);
    inScript = false;
    lua_sethook(state, nullptr, 0, 0);
    if (status == LUA_OK)
        return true;
    setError(lua_tostring(state, -1), "unknown error");
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
    // A FIFO or a device would make the loader wait or read for ever.
    std::error_code error;
    if (std::filesystem::exists(path, error) && !std::filesystem::is_regular_file(path, error)) {
        loadFailed = true;
        lastError = "is not a regular file";
        return false;
    }
    inScript = true;
    const int status = luaL_loadfilex(state, path.c_str(), "t");
    inScript = false;
    loadFailed = status != LUA_OK;
    if (status != LUA_OK) {
        setError(lua_tostring(state, -1), "cannot load");
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
        setError(lua_tostring(state, -1), "cannot load");
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
