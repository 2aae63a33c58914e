#pragma once
// One input in, the game's input-handling code run on it. Shared by the libFuzzer targets in this
// folder and by the normal test suite, which replays the seed corpus and every input that once
// crashed (fuzz/corpus/<target>/, fuzz/regressions/<target>/).
//
// Each function returns the first promise of the code under test that the input broke, in words,
// or an empty text when all held. A crash or a sanitizer report is a fault in itself.

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// The input is the text of a level script. It becomes Levels/Level1.lua in a scratch folder, a
// Platform loads it for a 1280 x 720 window, an actor touches the blocks, and the map animates the
// bumps, delivers its own commands and hides keys until none is left.
std::string loadLevel(const std::uint8_t* data, std::size_t size);

// The input is a player's name, the user list and a user file, in that order, separated by lines
// holding only "--". The user file is read as a profile, the list and the user files go into a
// scratch "User" folder, and the start-up look-up and a registration of the name run on them.
std::string readUserFiles(const std::uint8_t* data, std::size_t size);

// The input is a Lua chunk, run in a LuaState with the HUD's vertex functions registered; then
// init and update are called as the HUD calls them, and the vertex functions must still work.
std::string runHudScript(const std::uint8_t* data, std::size_t size);

// For the fuzz targets: a broken promise is made a crash, so that libFuzzer keeps the input.
int stopOnProblem(const char* target, const std::string& problem);

// What the fuzz targets leave out (the replay in the test suite runs everything it is given):
// scripts that name the parts of Lua that reach the operating system or other code (os, io,
// require, _ENV, ...), which fuzzed text could use to delete files or end the process; and the
// open findings listed in README.md here, so that a run goes on finding new faults instead of
// the known ones again. A target returns early for these, unless QUELLIX_FUZZ_REPLAY is set.
bool skipLevelScript(const std::string& script);
bool skipHudScript(const std::string& script);

} // namespace fuzz
