#pragma once

#include <lua.hpp>

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

// A Lua interpreter with the standard libraries, owned for its lifetime. Scripts are data, so they
// are never trusted: every chunk and call runs in protected mode, under a budget of executed
// instructions and of time (an endless loop is stopped) and of memory (endless allocation is
// refused). Once a call has spent its budget it cannot go on: every further instruction raises the
// error again and no protected call inside the script can swallow it. Library functions whose own
// loops the budget cannot see (pattern matching, sorting, collecting garbage, printing) are not
// offered.
//
// Some single steps of the interpreter are long without any of that: growing a table whose keys
// all share one hash chain puts every key back along the chain, the collector's last step goes
// over a chain of weak-keyed tables once per link, and the compiler resolves gotos by shifting a
// list. The budget cannot see inside them, so their size is bounded instead: no block of memory
// is larger than MaxBlockSize (16 Ki hash slots, 64 Ki array entries, a string of MaxStringLength
// bytes), a state has little memory (what it needs is a few tens of kilobytes), a chunk has at most
// MaxGotos gotos, and compiling checks the clock between pieces of the text. A call, compiling
// included, holds the game for TimeLimit at most and a fraction of a second more.
class LuaState {
public:
    // The HUD's and the power-ups' scripts use well under 100 KB.
    static constexpr std::size_t DefaultMemoryLimit = 1024u * 1024u;
    static constexpr long DefaultInstructionLimit = 50'000'000;
    // Far more than any game script needs; also what a call may take when its instructions are slow
    // ones (comparing long strings, shifting long tables).
    static constexpr std::chrono::milliseconds TimeLimit{2000};
    static constexpr std::size_t MaxStringLength = 1u << 20;
    static constexpr std::size_t MaxBlockSize = MaxStringLength + 64;
    // What a script's own `load` compiles at most; script files may be larger.
    static constexpr std::size_t MaxChunkLength = 64u * 1024u;
    static constexpr std::size_t MaxFileLength = 8u * 1024u * 1024u;
    static constexpr int MaxGotos = 1000;
    // Error messages are cut to this many bytes: a script may raise one as long as a string.
    static constexpr std::size_t MaxErrorLength = 300;

    explicit LuaState(std::size_t memoryLimit = DefaultMemoryLimit,
                      long instructionLimit = DefaultInstructionLimit);
    ~LuaState();
    LuaState(const LuaState&) = delete;
    LuaState& operator=(const LuaState&) = delete;

    lua_State* get() const { return state; }
    operator lua_State*() const { return state; }

    // Loads and runs a file, leaving its results on the stack. On failure nothing is left on the
    // stack and error() says what went wrong.
    bool runFile(const std::string& path, int results = LUA_MULTRET);
    // The same for a chunk held in memory; name appears in its error messages. Only source text
    // is accepted: the interpreter does not check precompiled chunks, and a damaged one can crash
    // it.
    bool runString(const std::string& chunk, const std::string& name, int results = LUA_MULTRET);
    // Calls the function below its arguments on the stack, like lua_pcall, with a fresh budget.
    bool call(int arguments, int results);

    const std::string& error() const { return lastError; }
    // Whether the last failure was the script exceeding its time or memory budget.
    bool wasStopped() const { return stopped; }
    // Whether the last runFile failed before the chunk ran (missing file, syntax error).
    bool failedToLoad() const { return loadFailed; }
    bool isValid() const { return state != nullptr; }

private:
    static LuaState* ownerOf(lua_State* state);
    static void* allocate(void* self, void* block, std::size_t oldSize, std::size_t newSize);
    static void countInstructions(lua_State* state, lua_Debug* info);
    static int passUnlessStopped(lua_State* state);
    // The scripts' `load`: (text, name, hasEnvironment, environment) -> function | nil, message.
    static int loadChunk(lua_State* state);
    static const char* readPiece(lua_State* state, void* pieces, std::size_t* size);
    void startBudget();
    // Compiles source text onto the stack, or leaves the error message there; within the budget
    // already started.
    int compile(std::string_view text, const char* chunkName);
    bool load(const std::string& text, const std::string& chunkName);
    bool protectedCall(int arguments, int results);
    void setError(const char* message, const char* otherwise);

    lua_State* state = nullptr;
    // The memory ceiling holds only while script code runs: a refused allocation outside
    // protected mode (the program pushing arguments or reading results) would abort the process.
    bool inScript = false;
    std::size_t memoryUsed = 0;
    std::size_t memoryLimit;
    long instructionLimit;
    long instructionsLeft = 0;
    std::chrono::steady_clock::time_point deadline;
    std::string lastError;
    bool stopped = false;
    bool loadFailed = false;
};
