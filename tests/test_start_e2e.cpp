// Starting the real program: what its command line answers and with which status, where it
// finds its data, the window it opens, and the runs it records and replays.
#include "core/BuildInfo.hpp"
#include "core/CommandLine.hpp"
#include "replay/Recording.hpp"

#include "TestSupport.hpp"

#include <gtest/gtest.h>

#include <algorithm>
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

// Runs the program to its end in `folder` with the arguments (quoted by the caller as needed),
// through `launcher` (such as "env -u DISPLAY") when one is given.
Outcome runIn(const fs::path& folder, const std::string& arguments, int seconds = 20,
              const std::string& launcher = "") {
    Outcome outcome;
    outcome.status =
        run("cd '" + folder.string() + "' && " + launcher + " timeout " + std::to_string(seconds) +
            " '" + Binary.string() + "' " + arguments + " >'" + (folder / "out.txt").string() +
            "' 2>'" + (folder / "err.txt").string() + "'");
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
    // The window found may be gone by now (F11 makes a new one); that is no error of the test's:
    // Xlib's own handler would end the test there and leave the game running.
    const XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    XWindowAttributes attributes{};
    facts.found = XGetWindowAttributes(display, static_cast<Window>(id), &attributes) != 0;
    XSync(display, False);
    XSetErrorHandler(previous);
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

TEST(StartEndToEnd, WithoutADisplayItSaysSoAndEndsWithOne) {
    const TempDir dir;
    copyDataDir(dir.path());
    // The window library would abort, leaving a core file.
    const Outcome none = runIn(dir.path(), "", 20, "env -u DISPLAY");
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, "quellix: no display can be opened (DISPLAY is not set)\n");
    EXPECT_EQ(runIn(dir.path(), "--version", 20, "env -u DISPLAY").status, 0) << "no window needed";
}

TEST(StartEndToEnd, AnExitLevelPastTheLastLevelIsRefusedAtStart) {
    const TempDir dir;
    copyDataDir(dir.path());
    const Outcome refused = runIn(dir.path(), "--demo --fixed-step --exit-after-level 9", 60);
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, "quellix: --exit-after-level 9: there are only 8 levels\n");
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

// Whether the game's window takes the whole screen: the test screen is 1280 x 720 itself, and only
// a fullscreen window bypasses the window manager.
bool opensFullscreen(GameProcess& game) {
    EXPECT_TRUE(game.waitForWindow(20.0)) << game.errors();
    const WindowFacts window = gameWindow();
    EXPECT_TRUE(window.found);
    EXPECT_EQ(window.width, 1280);
    EXPECT_EQ(window.height, 720);
    return window.overrideRedirect;
}

TEST(StartEndToEnd, TheWindowIsAsTheSettingsSayUnlessWindowedIsAskedForThisRun) {
    const TempDir dir;
    copyDataDir(dir.path());
    const fs::path settings = dir / "Settings.txt";
    const struct {
        const char* file; // nothing when there is none
        bool windowedOption;
        bool fullscreen;
    } cases[] = {
        {nullptr, false, true},
        {nullptr, true, false},
        {"fullscreen no\n", false, false},
        {"fullscreen yes\n", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file ? c.file : "no file") +
                     (c.windowedOption ? " --windowed" : ""));
        if (c.file)
            writeFile(settings, c.file);
        GameProcess game(dir.path(), "",
                         c.windowedOption ? std::vector<std::string>{"--windowed"}
                                          : std::vector<std::string>{});
        EXPECT_EQ(opensFullscreen(game), c.fullscreen);
        EXPECT_EQ(quit(game), 0) << game.errors();
        if (c.file) {
            EXPECT_EQ(readFile(settings), c.file) << "the run changed no setting";
        }
        fs::remove(settings);
    }
}

// The key goes through XTest, not to the window found: the window it is pressed in is replaced by
// the switch, and a release sent after it to the old window would never come, leaving the key held
// and repeating.
void focusAndPress(const char* key) {
    xdotool("search --name Gravelmoth windowfocus --sync");
    xdotool(std::string("key ") + key);
}

TEST(StartEndToEnd, F11SwitchesTheWindowAndTheChoiceHoldsFromTheNextStart) {
    const TempDir dir;
    copyDataDir(dir.path());
    writeFile(dir / "Settings.txt", "fullscreen no\n");
    {
        GameProcess game(dir.path());
        EXPECT_FALSE(opensFullscreen(game));
        focusAndPress("F11");
        for (int i = 0; i < 50 && !gameWindow().overrideRedirect; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_TRUE(opensFullscreen(game)) << "F11 made it fullscreen";
        EXPECT_TRUE(game.isRunning()) << game.errors();
        EXPECT_EQ(quit(game), 0) << game.errors();
    }
    EXPECT_NE(readFile(dir / "Settings.txt").find("fullscreen yes\n"), std::string::npos);
    GameProcess again(dir.path());
    EXPECT_TRUE(opensFullscreen(again)) << "the next start keeps the choice";
    focusAndPress("F11");
    for (int i = 0; i < 50 && gameWindow().overrideRedirect; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(opensFullscreen(again)) << "and F11 goes back to a window";
    EXPECT_EQ(quit(again), 0) << again.errors();
    EXPECT_NE(readFile(dir / "Settings.txt").find("fullscreen no\n"), std::string::npos);
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

    // Seconds normally. The sanitizer build plays some fifteen times slower, and the suite plays
    // every level there already: its demo goes from one level to the next and ends after that.
    if (QUELLIX_SANITIZED)
        levels = std::min(levels, 2);
    // The automatic player sees a quarter of a second late, as a person does.
    const Outcome demo = runIn(
        dir.path(),
        "--demo --fixed-step --reaction 250 --exit-after-level " + std::to_string(levels), 560);
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

// The line a replay ends with for the last level of the recording in the file.
std::string endLine(const fs::path& file) {
    std::string problem;
    const Recording::Level last = Recording::read(file, problem).value().levels.back();
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
    const std::string content = readFile(recorded);
    writeFile(elsewhere / "cut.replay", content.substr(0, content.find('\n', content.size() / 2)));
    // Named relative to the working directory, wherever the data is.
    const std::string replay = "--data '" + data.path().string() + "' --fixed-step --replay ";
    const Outcome played = runIn(elsewhere.path(), replay + "run.replay", 120);
    EXPECT_EQ(played.status, 0) << played.err;
    EXPECT_EQ(played.out.substr(played.out.find("Replay ended")), endLine(recorded));
    EXPECT_EQ(played.err.find("went another way"), std::string::npos) << played.err;

    const Outcome cut = runIn(elsewhere.path(), replay + "cut.replay");
    EXPECT_EQ(cut.status, 1);
    EXPECT_EQ(cut.out, "");
    EXPECT_EQ(cut.err, "quellix: cannot replay " + (elsewhere / "cut.replay").string() +
                           ": the file is cut short (its last line has no line end)\n");
    writeFile(data / "Levels/Level1.lua", readFile(data / "Levels/Level1.lua") + "\n-- moved\n");
    const Outcome changed = runIn(elsewhere.path(), replay + "run.replay");
    EXPECT_EQ(changed.status, 1);
    EXPECT_EQ(changed.err, "quellix: cannot replay " + (elsewhere / "run.replay").string() +
                               ": level 1 has changed since it was recorded (Levels/Level1.lua is "
                               "not the file it was played on)\n");
}

// A player plays with real keys at the real frame times of the screen: the run kept beside their
// file replays to the same end.
TEST(StartEndToEnd, APlayersRunIsRecordedAsItIsPlayedAndReplaysToItsEnd) {
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
    // The steps follow the level's file and hash, whose digits are lower case.
    const std::string run = readFile(dir / "User/Ann.run-1.replay");
    for (const char held : {'L', 'R', 'J'})
        EXPECT_NE(run.find(held, run.find(".lua")), std::string::npos) << held << " in\n" << run;
    const Outcome replay = runIn(dir.path(), "--replay User/Ann.run-1.replay --fixed-step");
    EXPECT_EQ(replay.status, 0) << replay.err;
    EXPECT_EQ(replay.out, endLine(dir / "User/Ann.run-1.replay"));
    EXPECT_EQ(replay.err.find("went another way"), std::string::npos) << replay.err;
}

} // namespace
