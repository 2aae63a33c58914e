// Replays the fuzzers' seed inputs and every input that once broke the game's input handling
// (fuzz/corpus/<target>/ and fuzz/regressions/<target>/) through the fuzzers' own entry points:
// each must finish without a crash, and with every promise the entry point checks kept.

#include "../fuzz/FuzzEntryPoints.hpp"

#include "TestSupport.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <thread>

namespace {

namespace fs = std::filesystem;
using EntryPoint = std::string (*)(const std::uint8_t*, std::size_t);

std::vector<fs::path> inputsOf(const std::string& kind, const std::string& target) {
    std::vector<fs::path> files;
    const fs::path folder = fs::path(QUELLIX_SOURCE_DIR) / "fuzz" / kind / target;
    if (fs::is_directory(folder))
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.is_regular_file())
                files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// An input that hangs ends the test run with its name, instead of blocking it until the test
// runner's own timeout says nothing about the cause.
class Watchdog {
public:
    Watchdog(const fs::path& input, std::chrono::seconds limit)
        : watcher([this, input, limit] {
              std::unique_lock<std::mutex> lock(mutex);
              if (!done.wait_for(lock, limit, [this] { return finished; })) {
                  // Straight to the stream: the code under test may have redirected std::cerr.
                  std::fprintf(stderr, "%s did not finish within %d s\n", input.c_str(),
                               static_cast<int>(limit.count()));
                  std::abort();
              }
          }) {}
    ~Watchdog() {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            finished = true;
        }
        done.notify_one();
        watcher.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::thread watcher;
};

void replay(const std::string& target, EntryPoint entry) {
    const std::vector<fs::path> seeds = inputsOf("corpus", target);
    EXPECT_FALSE(seeds.empty()) << "no seed inputs in fuzz/corpus/" << target;
    std::vector<fs::path> all = seeds;
    const std::vector<fs::path> regressions = inputsOf("regressions", target);
    all.insert(all.end(), regressions.begin(), regressions.end());
    for (const fs::path& input : all) {
        // Printed first, so that a crash in the middle of the list still names its input.
        std::cout << "replaying " << input << std::endl;
        const std::string bytes = testsupport::readFile(input);
        const Watchdog watchdog(input, std::chrono::seconds(30));
        EXPECT_EQ(entry(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), "")
            << input;
    }
}

} // namespace

TEST(FuzzRegressions, LevelScriptsLoadOrAreRefusedCleanly) {
    replay("level", fuzz::loadLevel);
}

TEST(FuzzRegressions, UserFilesAreReadAndWrittenAsPromised) {
    replay("user_files", fuzz::readUserFiles);
}

TEST(FuzzRegressions, HudScriptsCannotBreakTheVertexFunctions) {
    replay("hud_vertex", fuzz::runHudScript);
}

TEST(FuzzRegressions, FuzzersLeaveOutScriptsThatReachTheSystem) {
    EXPECT_TRUE(fuzz::skipLevelScript("os.remove('Levels')"));
    EXPECT_TRUE(fuzz::skipLevelScript("return require 'x'"));
    EXPECT_TRUE(fuzz::skipLevelScript("\x1bLua\x52"));
    EXPECT_TRUE(fuzz::skipLevelScript("#!/usr/bin/lua\n\x1bLua\x52"));
    EXPECT_FALSE(fuzz::skipLevelScript(
        "return { layers = { { width = 1, height = 1, data = { 1 } }, { data = { 0 } } } }"));
    EXPECT_FALSE(fuzz::skipLevelScript("#\n"));
    EXPECT_TRUE(fuzz::skipHudScript("load(s)()"));
    EXPECT_FALSE(fuzz::skipHudScript("vertex.resize(PlayerHUD, 4) -- download"));
}
