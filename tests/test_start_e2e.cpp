// Starting the real program: what its command line answers and with which status, where it
// finds its data, the window it opens, and the runs it records and replays.
#include "core/BuildInfo.hpp"
#include "core/CommandLine.hpp"
#include "replay/Recording.hpp"

#include "TestSupport.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <iomanip>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <thread>

// After the test framework: Xlib's macros (None, Bool, ...) would clash with its names.
#include <X11/Xlib.h>

namespace {

using namespace testsupport;

const fs::path Binary = fs::path(QUELLIX_BINARY_DIR) / "quellix";

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the program to its end in `folder` with the arguments (quoted by the caller as needed).
Outcome runIn(const fs::path& folder, const std::string& arguments, int seconds = 20) {
    Outcome outcome;
    outcome.status =
        run("cd '" + folder.string() + "' && timeout " + std::to_string(seconds) + " '" +
            Binary.string() + "' " + arguments + " >'" + (folder / "out.txt").string() + "' 2>'" +
            (folder / "err.txt").string() + "'");
    outcome.out = readFile(folder / "out.txt");
    outcome.err = readFile(folder / "err.txt");
    fs::remove(folder / "out.txt");
    fs::remove(folder / "err.txt");
    return outcome;
}

struct WindowFacts {
    bool found = false;
    int width = 0;
    int height = 0;
    bool overrideRedirect = false; // how a fullscreen window takes the screen without a manager
};

WindowFacts gameWindow() {
    WindowFacts facts;
    FILE* search = popen("xdotool search --onlyvisible --name Gravelmoth 2>/dev/null", "r");
    unsigned long id = 0;
    const bool listed = search && std::fscanf(search, "%lu", &id) == 1;
    if (search)
        pclose(search);
    Display* display = XOpenDisplay(nullptr);
    if (!listed || !display) {
        if (display)
            XCloseDisplay(display);
        return facts;
    }
    XWindowAttributes attributes{};
    facts.found = XGetWindowAttributes(display, static_cast<Window>(id), &attributes) != 0;
    facts.width = attributes.width;
    facts.height = attributes.height;
    facts.overrideRedirect = attributes.override_redirect != 0;
    XCloseDisplay(display);
    return facts;
}

// Escape leaves whatever screen follows the title, so the game ends.
int quit(GameProcess& game) {
    for (int i = 0; i < 50 && game.waitForExit(0.2) < 0; ++i)
        xdotool("key Escape");
    return game.waitForExit(10.0);
}

TEST(StartEndToEnd, HelpVersionAndMistakesAnswerWithoutAWindow) {
    const TempDir dir;
    const Outcome help = runIn(dir.path(), "--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, CommandLine::usage());
    EXPECT_EQ(help.err, "");

    const Outcome version = runIn(dir.path(), "--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("Quellix ") + BuildInfo::Version + "\n");
    EXPECT_EQ(version.err, "");

    const Outcome unknown = runIn(dir.path(), "--level 3");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.out, "");
    EXPECT_EQ(unknown.err, "quellix: unknown option '--level'\n" + CommandLine::usage());
}

TEST(StartEndToEnd, WithoutDataItSaysWhereItLookedAndEndsWithOne) {
    const TempDir dir;
    const Outcome none = runIn(dir.path(), "");
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, "quellix: no game data in " + dir.path().string() +
                            " (the working directory) or " + BuildInfo::InstalledDataFolder +
                            " (the installed data folder); a data folder holds the folders "
                            "Images, Audio, Fonts, Levels and Scripts; name one with --data DIR\n");

    EXPECT_TRUE(fs::is_empty(dir.path())) << "nothing was written";
}

TEST(StartEndToEnd, DataNamedOnTheCommandLineIsPlayedFromAnyFolderAndKeepsItsPlayers) {
    const TempDir data, elsewhere;
    copyDataDir(data.path());
    GameProcess game(elsewhere.path(), "", {"--data", data.path().string()});
    ASSERT_TRUE(game.waitForWindow(20.0)) << game.errors();
    // The loading screen makes the players' folder on a first start.
    for (int i = 0; i < 100 && !fs::is_directory(data / "User") && game.isRunning(); ++i) {
        xdotool("key shift");
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    EXPECT_TRUE(fs::is_directory(data / "User")) << game.errors();
    EXPECT_EQ(quit(game), 0) << game.errors();
    EXPECT_EQ(std::distance(fs::directory_iterator(elsewhere.path()), fs::directory_iterator()), 1)
        << "only the captured error stream is in the working directory";
}

TEST(StartEndToEnd, WindowedOpensA1280x720WindowInsteadOfTakingTheScreen) {
    const TempDir dir;
    copyDataDir(dir.path());
    for (const bool windowed : {false, true}) {
        SCOPED_TRACE(windowed ? "--windowed" : "fullscreen");
        GameProcess game(dir.path(), "",
                         windowed ? std::vector<std::string>{"--windowed"}
                                  : std::vector<std::string>{});
        ASSERT_TRUE(game.waitForWindow(20.0)) << game.errors();
        const WindowFacts window = gameWindow();
        ASSERT_TRUE(window.found);
        // The test screen is 1280 x 720 itself: only a fullscreen window bypasses the manager.
        EXPECT_EQ(window.width, 1280);
        EXPECT_EQ(window.height, 720);
        EXPECT_EQ(window.overrideRedirect, !windowed);
        EXPECT_EQ(quit(game), 0) << game.errors();
    }
}

TEST(StartEndToEnd, TheDemoClearsEveryLevelAtFixedStepsAndEndsAfterTheLastWithZero) {
    const TempDir dir;
    copyDataDir(dir.path());
    // A player's files, which a demo neither reads nor writes.
    writeFile(dir / "User/UserData.bin", "Tester\n");
    writeFile(dir / "User/Tester.bin", "1\n2\n3\n4\n");
    int levels = 0;
    while (fs::exists(dir / ("Levels/Level" + std::to_string(levels + 1) + ".lua")))
        ++levels;
    ASSERT_GT(levels, 0);

    // Seconds normally; a few minutes in the sanitizer build on a busy machine.
    const Outcome demo =
        runIn(dir.path(), "--demo --fixed-step --exit-after-level " + std::to_string(levels), 560);
    EXPECT_EQ(demo.status, 0) << demo.err;
    // One line for each level, in order, each cleared within ten minutes of game time; the rest
    // of the output is the key's messages.
    std::istringstream out(demo.out);
    std::string line;
    int cleared = 0;
    const std::regex levelLine("Level ([0-9]+) cleared in ([0-9]+\\.[0-9]) s, ([0-9]+) tanks lost");
    while (std::getline(out, line)) {
        std::smatch match;
        if (std::regex_match(line, match, levelLine)) {
            EXPECT_EQ(std::stoi(match[1]), ++cleared) << line;
            EXPECT_LE(std::stod(match[2]), 600.0) << line;
            EXPECT_LT(std::stoi(match[3]), 25) << line;
        } else {
            EXPECT_EQ(line.rfind("Generated at ", 0), 0u) << line;
        }
    }
    EXPECT_EQ(cleared, levels) << demo.out;
    EXPECT_EQ(readFile(dir / "User/UserData.bin"), "Tester\n");
    EXPECT_EQ(readFile(dir / "User/Tester.bin"), "1\n2\n3\n4\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "User"), fs::directory_iterator()), 2);
}

// The line a replay ends with for the last level of a recording, and the run's own file.
std::string endLine(const fs::path& file) {
    std::string problem;
    const std::optional<Recording> recording = Recording::read(file, problem);
    EXPECT_TRUE(recording) << file << ": " << problem;
    if (!recording)
        return problem;
    const Recording::Level& last = recording->levels.back();
    std::ostringstream line;
    line << "Replay ended: level " << last.number << ", " << std::fixed << std::setprecision(1)
         << last.time().asSeconds() << " s, " << last.tanksLost << " tanks lost\n";
    return line.str();
}

TEST(StartEndToEnd, AReplayEndsWhereItsRecordingDidAndOneThatCannotPlayIsRefusedWithOne) {
    const TempDir data, elsewhere;
    copyDataDir(data.path());
    const fs::path recorded = fs::path(QUELLIX_SOURCE_DIR) / "tests/replays/level1-human.replay";
    fs::copy_file(recorded, elsewhere / "run.replay");
    // Named relative to the working directory, wherever the data is.
    const std::string arguments = "--data '" + data.path().string() + "' --fixed-step --replay ";
    const Outcome replay = runIn(elsewhere.path(), arguments + "run.replay", 120);
    EXPECT_EQ(replay.status, 0) << replay.err;
    EXPECT_EQ(replay.out.substr(replay.out.find("Replay ended")), endLine(recorded));
    EXPECT_EQ(replay.err.find("went another way"), std::string::npos) << replay.err;

    const std::string content = readFile(recorded);
    writeFile(elsewhere / "damaged.replay", content.substr(0, content.find('\n', content.size() / 2)));
    writeFile(elsewhere / "older.replay",
              "quellix-replay 1\ngame 0.1.0\n" + content.substr(content.find("layout")));
    const struct {
        const char* file;
        std::string problem;
    } refused[] = {
        {"none.replay", "there is no such file"},
        {"damaged.replay", "the file is cut short (its last line has no line end)"},
        {"older.replay", std::string("it was recorded by Quellix 0.1.0, and this is Quellix ") +
                             BuildInfo::Version +
                             "; a replay plays only in the version that recorded it"},
    };
    for (const auto& bad : refused) {
        const Outcome outcome = runIn(elsewhere.path(), arguments + bad.file);
        EXPECT_EQ(outcome.status, 1) << bad.file;
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err, "quellix: cannot replay " + (elsewhere / bad.file).string() + ": " +
                                   bad.problem + "\n");
    }
    // The level the run was played on is changed: the run cannot be played as it was.
    writeFile(data / "Levels/Level1.lua", readFile(data / "Levels/Level1.lua") + "\n-- moved\n");
    const Outcome changed = runIn(elsewhere.path(), arguments + "run.replay");
    EXPECT_EQ(changed.status, 1);
    EXPECT_EQ(changed.err, "quellix: cannot replay " + (elsewhere / "run.replay").string() +
                               ": level 1 has changed since it was recorded (Levels/Level1.lua is "
                               "not the file it was played on)\n");
}

// A player plays with the real keys at the real frame times of the screen: their run is kept
// beside their file, and it replays to the same end.
TEST(StartEndToEnd, APlayersRunIsRecordedAsItIsPlayedAndReplaysToTheSameEnd) {
    const TempDir dir;
    copyDataDir(dir.path());
    writeFile(dir / "User/UserData.bin", "Ann\n");
    writeFile(dir / "User/Ann.bin", "5\n0\n1\n1");
    {
        GameProcess game(dir.path(), "", {"--windowed"});
        ASSERT_TRUE(game.waitForWindow(20.0)) << game.errors();
        xdotool("search --name Gravelmoth windowfocus --sync");
        TestScreen screen;
        ASSERT_TRUE(waitForMainPage(game, screen, 30.0)) << game.errors();
        xdotool("key Return");                                        // Play is highlighted
        std::this_thread::sleep_for(std::chrono::milliseconds(1500)); // the first tank comes
        for (const char* key : {"Right", "Up", "Left", "Up Right", "Left"}) {
            xdotool(std::string("keydown ") + key);
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
            xdotool(std::string("keyup ") + key);
        }
        xdotool("key Escape");
        ASSERT_EQ(game.waitForExit(10.0), 0) << game.errors();
    }
    const fs::path run = dir / "User/Ann.run-1.replay";
    std::string problem;
    const std::optional<Recording> recording = Recording::read(run, problem);
    ASSERT_TRUE(recording) << problem;
    ASSERT_EQ(recording->levels.size(), 1u);
    std::set<std::int32_t> lengths;
    bool jumped = false, droveLeft = false, droveRight = false;
    for (const Recording::Steps& steps : recording->levels[0].steps) {
        lengths.insert(steps.micros);
        jumped = jumped || steps.controls.jump;
        droveLeft = droveLeft || steps.controls.left;
        droveRight = droveRight || steps.controls.right;
    }
    EXPECT_GT(lengths.size(), 1u) << "steps as long as the frames really were";
    EXPECT_TRUE(jumped && droveLeft && droveRight) << readFile(run).substr(0, 2000);
    EXPECT_EQ(recording->levels[0].end, Recording::End::Stopped);

    const Outcome replay = runIn(dir.path(), "--replay User/Ann.run-1.replay --fixed-step");
    EXPECT_EQ(replay.status, 0) << replay.err;
    EXPECT_EQ(replay.out, endLine(run));
    EXPECT_EQ(replay.err.find("went another way"), std::string::npos) << replay.err;
    EXPECT_FALSE(fs::exists(dir / "User/Ann.run-2.replay")) << "a replay is not a run";
}

} // namespace
