#pragma once

#include <lua.hpp>

#include <chrono>
#include <cstddef>
#include <string>

// A Lua interpreter with the standard libraries, owned for its lifetime. Scripts are data, so they
// are never trusted: every chunk and call runs in protected mode, under a budget of executed
// instructions and of time (an endless loop is stopped) and of memory (endless allocation is
// refused). Once a call has spent its budget it cannot go on: every further instruction raises the
// error again and no protected call inside the script can swallow it. Library functions whose own
// loops the budget cannot see (pattern matching, sorting, collecting garbage, printing) are not
// offered, and strings are at most MaxStringLength bytes, so that no single step takes long.
class LuaState {
public:
    static constexpr std::size_t DefaultMemoryLimit = 64u * 1024u * 1024u;
    static constexpr long DefaultInstructionLimit = 50'000'000;
    // Far more than any game script needs; also what a call may take when its instructions are slow
    // ones (comparing long strings, shifting long tables).
    static constexpr std::chrono::milliseconds TimeLimit{2000};
    static constexpr std::size_t MaxStringLength = 1u << 20;
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
