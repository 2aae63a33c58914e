#include "core/LuaState.hpp"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace {
// The hook runs every this many instructions; the budget is counted in these steps. Few enough
// that the clock is read often even when each instruction is a slow one.
const int HookInterval = 100;

const char* const StoppedMessage = "the script ran too long and was stopped";

// The compiler reads the text in pieces this long; the clock is checked between them.
const std::size_t PieceLength = 4096;

struct Pieces {
    std::string_view rest;
    LuaState* owner;
};

bool isNamePart(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Counted in the text, comments and strings included: far fewer than the limit in any real script.
int countGotos(std::string_view text) {
    int count = 0;
    for (std::size_t at = text.find("goto"); at != std::string_view::npos;
         at = text.find("goto", at + 4))
        if ((at == 0 || !isNamePart(text[at - 1])) &&
            (at + 4 == text.size() || !isNamePart(text[at + 4])))
            ++count;
    return count;
}

// Game scripts are plain data and layout code. What could leave the budget or the interpreter is
// taken away: the debug library (it can switch the hook off), files, the system and C modules,
// precompiled chunks (run unchecked by the interpreter), finalizers (they run with the hook off,
// so a looping one could never be stopped), and library functions that loop in C where the hook
// cannot see them (patterns can backtrack for ages, sorting compares in C, a full collection walks
// all memory, printing can block on a full pipe). Everything that catches errors passes the
// budget's error on, so a script cannot swallow it and go on. `load` compiles source text of at
// most MaxChunkLength bytes; what a reader function gives is gathered first, under the budget, so
// that the compiler never waits on script code.
const char* const Sandbox = R"lua(
local passUnlessStopped, loadChunk, maxChunk = ...
debug, io, os, package, require, dofile, loadfile = nil, nil, nil, nil, nil, nil, nil
print, collectgarbage = nil, nil
string.dump, string.find, string.match, string.gmatch, string.gsub = nil, nil, nil, nil, nil
table.sort = nil
local rawsetmetatable, type, rawget, error, select = setmetatable, type, rawget, error, select
local rawpcall, rawxpcall, rawresume, concat = pcall, xpcall, coroutine.resume, table.concat
load = function(chunk, name, mode, ...)
    if type(chunk) == "function" then
        local pieces, size = {}, 0
        while size <= maxChunk do
            local ok, piece = rawpcall(chunk)
            if not ok then return passUnlessStopped(nil, piece) end
            if piece == nil or piece == "" then break end
            if type(piece) ~= "string" then return nil, "reader function must return a string" end
            size = size + #piece
            pieces[#pieces + 1] = piece
        end
        chunk, name = concat(pieces), name or "=(load)"
    end
    return passUnlessStopped(loadChunk(chunk, name, select("#", ...) > 0, (...)))
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
)lua";

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
    lua_pushcfunction(state, &LuaState::loadChunk);
    lua_pushinteger(state, static_cast<lua_Integer>(MaxChunkLength));
    if (lua_pcall(state, 3, 0, 0) != LUA_OK) {
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
    // Lua turns a refusal into a "not enough memory" error.
    if (owner->inScript && newSize > previous &&
        (newSize > MaxBlockSize || owner->memoryUsed - previous + newSize > owner->memoryLimit))
        return nullptr;
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

void LuaState::startBudget() {
    instructionsLeft = instructionLimit;
    deadline = std::chrono::steady_clock::now() + TimeLimit;
    stopped = false;
}

const char* LuaState::readPiece(lua_State*, void* data, std::size_t* size) {
    auto* pieces = static_cast<Pieces*>(data);
    if (std::chrono::steady_clock::now() > pieces->owner->deadline)
        pieces->owner->stopped = true;
    *size = pieces->owner->stopped ? 0 : std::min(PieceLength, pieces->rest.size());
    const char* piece = pieces->rest.data();
    pieces->rest.remove_prefix(*size);
    return *size > 0 ? piece : nullptr;
}

// Raises no Lua error past C++ objects: loadChunk calls it from inside a script, where any
// allocation may fail.
int LuaState::compile(std::string_view text, const char* chunkName) {
    if (countGotos(text) > MaxGotos) {
        lua_pushfstring(state, "it has more than %d gotos", MaxGotos);
        return LUA_ERRSYNTAX;
    }
    // Compiling counts as script: it allocates within the script's memory.
    const bool wasInScript = inScript;
    inScript = true;
    Pieces pieces{text, this};
    int status = lua_load(state, &LuaState::readPiece, &pieces, chunkName, "t");
    inScript = wasInScript;
    // A text cut short at the deadline may even have compiled: it is not run.
    if (stopped) {
        lua_pop(state, 1);
        lua_pushstring(state, StoppedMessage);
        status = LUA_ERRRUN;
    }
    return status;
}

int LuaState::loadChunk(lua_State* state) {
    std::size_t length = 0;
    const char* text = luaL_checklstring(state, 1, &length);
    const char* name = luaL_optstring(state, 2, text);
    if (length > MaxChunkLength) {
        lua_pushnil(state);
        lua_pushfstring(state, "the chunk is longer than %d bytes",
                        static_cast<int>(MaxChunkLength));
        return 2;
    }
    if (ownerOf(state)->compile(std::string_view(text, length), name) != LUA_OK) {
        lua_pushnil(state);
        lua_insert(state, -2);
        return 2;
    }
    // As load does: the environment given becomes the chunk's first upvalue, _ENV.
    if (lua_toboolean(state, 3)) {
        lua_pushvalue(state, 4);
        if (!lua_setupvalue(state, -2, 1))
            lua_pop(state, 1);
    }
    return 1;
}

bool LuaState::load(const std::string& text, const std::string& chunkName) {
    startBudget();
    const int status = compile(text, chunkName.c_str());
    loadFailed = status != LUA_OK;
    if (loadFailed) {
        setError(lua_tostring(state, -1), "cannot load");
        lua_pop(state, 1);
    }
    return !loadFailed;
}

bool LuaState::protectedCall(int arguments, int results) {
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
    loadFailed = true;
    // A FIFO or a device would make the loader wait or read for ever.
    std::error_code error;
    if (std::filesystem::exists(path, error) && !std::filesystem::is_regular_file(path, error)) {
        lastError = "is not a regular file";
        return false;
    }
    const auto size = std::filesystem::file_size(path, error);
    std::ifstream file(path, std::ios::binary);
    if (error || !file) {
        lastError = "cannot open the file";
        return false;
    }
    if (size > MaxFileLength) {
        lastError = "is larger than " + std::to_string(MaxFileLength >> 20) + " MB";
        return false;
    }
    std::string text(static_cast<std::size_t>(size), '\0');
    if (!file.read(text.data(), static_cast<std::streamsize>(size))) {
        lastError = "cannot read the file";
        return false;
    }
    // As Lua's own file loader: a byte order mark is skipped, and so is a first line starting with
    // '#' (all but its line break, so that line numbers stay right).
    if (text.rfind("\xEF\xBB\xBF", 0) == 0)
        text.erase(0, 3);
    if (!text.empty() && text[0] == '#')
        text.erase(0, std::min(text.find('\n'), text.size()));
    return load(text, "@" + path) && protectedCall(0, results);
}

bool LuaState::runString(const std::string& chunk, const std::string& name, int results) {
    return state && load(chunk, "=" + name) && protectedCall(0, results);
}

bool LuaState::call(int arguments, int results) {
    if (!state)
        return false;
    startBudget();
    return protectedCall(arguments, results);
}
