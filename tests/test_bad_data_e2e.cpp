// The real program against a data folder in which one file at a time is missing, empty, cut off or
// garbage: it still starts, still gets as far into the game as the file allows, says once on its
// error stream what is wrong with which file, and leaves the player's saves as they were.
// Likewise on a machine without a sound device.
#include "TestSupport.hpp"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <thread>

namespace {

using namespace testsupport;

// Replaced: the content given in the table, an attack rather than an accident. Fifo: a named pipe
// that no one writes into. DevZero: a link to /dev/zero, which never ends. Unreadable: a file the
// game may not open, as one of another user's (root, whom permissions do not stop, gets a link
// to itself instead).
enum class Fault { Missing, Empty, Truncated, Garbage, Replaced, Fifo, DevZero, Unreadable };

// How far the flow gets: into the game (title, menu, "Play", game screen), or only to the name
// page, because no user is known and entering a name would write the saves; NameRefused types the
// player's name there, which the page refuses, saying why, as it would replace the player's file;
// or the demo (--demo) plays the level for a few seconds.
enum class Reach { Game, NamePage, NameRefused, Demo };

struct BadFile {
    const char* file; // below the data folder
    Fault fault;
    Reach reach;
    // The one line of the error stream that names the file, '*' standing for any text; none may
    // name it when the game does not read the file before play starts.
    const char* message;
    std::string content = {}; // for Replaced
};

// Truncated: cut at three quarters, inside a word when there is one there (Lua then meets the end
// of the file in the middle of a statement). Garbage: bytes no picture, sound, font or script
// format accepts.
constexpr Fault Missing = Fault::Missing, Empty = Fault::Empty, Truncated = Fault::Truncated,
                Garbage = Fault::Garbage, Replaced = Fault::Replaced, Fifo = Fault::Fifo,
                DevZero = Fault::DevZero, Unreadable = Fault::Unreadable;
constexpr Reach Game = Reach::Game, NamePage = Reach::NamePage, NameRefused = Reach::NameRefused,
                Demo = Reach::Demo;
constexpr const char* NotReadAtStart = nullptr;

// clang-format off
const BadFile Cases[] = {
    // file                       fault      reaches   the line naming the file on stderr
    // Only Level1 is read at start; the others are only counted, up to the first missing one.
    {"Levels/Level1.lua",         Truncated, Game,     "Level file Levels/Level1.lua: cannot be loaded: Levels/Level1.lua:*: * near <eof>; no blocks were built"},
    {"Levels/Level2.lua",         Garbage,   Game,     NotReadAtStart},
    {"Levels/Level3.lua",         Truncated, Game,     NotReadAtStart},
    {"Levels/Level4.lua",         Empty,     Game,     NotReadAtStart},
    {"Levels/Level5.lua",         Missing,   Game,     NotReadAtStart},
    {"Levels/Level6.lua",         Garbage,   Game,     NotReadAtStart},
    {"Levels/Level7.lua",         Truncated, Game,     NotReadAtStart},
    {"Levels/Level8.lua",         Missing,   Game,     NotReadAtStart},
    {"Scripts/HUDElements.lua",   Truncated, Game,     "Scripts/HUDElements.lua: Scripts/HUDElements.lua:*: * near <eof>"},
    // Read by each power-up as it appears, and none has appeared when play starts.
    {"Scripts/PowerUps.lua",      Garbage,   Game,     NotReadAtStart},
    {"Images/ActiveButton.png",   Garbage,   Game,     "Failed to load image \"Images/ActiveButton.png\". Reason: Image not of any known type, or corrupt"},
    {"Images/Drone_Basic.png",    Missing,   Game,     "Failed to load image \"Images/Drone_Basic.png\". Reason: Unable to open file"},
    {"Images/HUDBanner.png",      Truncated, Game,     "Failed to load image \"Images/HUDBanner.png\". Reason: Corrupt PNG"},
    {"Images/HUDElements.png",    Garbage,   Game,     "Failed to load image \"Images/HUDElements.png\". Reason: Image not of any known type, or corrupt"},
    {"Images/Icon.png",           Empty,     Game,     "Failed to load image \"Images/Icon.png\". Reason: Image not of any known type, or corrupt"},
    {"Images/LoadingScreen.png",  Garbage,   Game,     "Failed to load image \"Images/LoadingScreen.png\". Reason: Image not of any known type, or corrupt"},
    {"Images/MenuScreen.png",     Missing,   Game,     "Failed to load image \"Images/MenuScreen.png\". Reason: Unable to open file"},
    {"Images/NormalButton.png",   Garbage,   Game,     "Failed to load image \"Images/NormalButton.png\". Reason: Image not of any known type, or corrupt"},
    {"Images/Objects.png",        Truncated, Game,     "Failed to load image \"Images/Objects.png\". Reason: Corrupt PNG"},
    {"Images/Platform.png",       Garbage,   Game,     "Failed to load image \"Images/Platform.png\". Reason: Image not of any known type, or corrupt"},
    {"Images/PowerUps.png",       Missing,   Game,     "Failed to load image \"Images/PowerUps.png\". Reason: Unable to open file"},
    {"Images/SelectedButton.png", Garbage,   Game,     "Failed to load image \"Images/SelectedButton.png\". Reason: Image not of any known type, or corrupt"},
    {"Images/Tank.png",           Garbage,   Game,     "Failed to load image \"Images/Tank.png\". Reason: Image not of any known type, or corrupt"},
    {"Images/TankExplosion.png",  Empty,     Game,     "Failed to load image \"Images/TankExplosion.png\". Reason: Image not of any known type, or corrupt"},
    {"Images/TitleScreen.png",    Garbage,   Game,     "Failed to load image \"Images/TitleScreen.png\". Reason: Image not of any known type, or corrupt"},
    {"Images/Vanish.png",         Missing,   Game,     "Failed to load image \"Images/Vanish.png\". Reason: Unable to open file"},
    {"Fonts/MenuTitle.ttf",       Garbage,   Game,     "Failed to load font \"Fonts/MenuTitle.ttf\" (failed to create the font face)"},
    {"Fonts/MenuButton.ttf",      Missing,   Game,     "Failed to load font \"Fonts/MenuButton.ttf\" (failed to create the font face)"},
    {"Audio/Explosion.ogg",       Garbage,   Game,     "Failed to open sound file \"Audio/Explosion.ogg\" (format not supported)"},
    {"Audio/KeyGeneration.ogg",   Missing,   Game,     "Failed to open sound file \"Audio/KeyGeneration.ogg\" (couldn't open stream)"},
    {"Audio/PortalExplosion.ogg", Empty,     Game,     "Failed to open sound file \"Audio/PortalExplosion.ogg\" (format not supported)"},
    {"Audio/PowerObtained.ogg",   Garbage,   Game,     "Failed to open sound file \"Audio/PowerObtained.ogg\" (format not supported)"},
    {"Audio/Repair.ogg",          Missing,   Game,     "Failed to open sound file \"Audio/Repair.ogg\" (couldn't open stream)"},
    {"Audio/RoboDelete.ogg",      Garbage,   Game,     "Failed to open sound file \"Audio/RoboDelete.ogg\" (format not supported)"},
    {"Audio/RoboEntry.ogg",       Empty,     Game,     "Failed to open sound file \"Audio/RoboEntry.ogg\" (format not supported)"},
    {"Audio/RoboVanish.ogg",      Garbage,   Game,     "Failed to open sound file \"Audio/RoboVanish.ogg\" (format not supported)"},
    {"Audio/Jump.ogg",            Missing,   Game,     "Failed to open sound file \"Audio/Jump.ogg\" (couldn't open stream)"},
    {"Audio/MenuMove.ogg",        Garbage,   Game,     "Failed to open sound file \"Audio/MenuMove.ogg\" (format not supported)"},
    {"Audio/MenuTheme.ogg",       Garbage,   Game,     "Failed to open sound file \"Audio/MenuTheme.ogg\" (format not supported)"},
    {"Audio/GameTheme.ogg",       Missing,   Game,     "Failed to open sound file \"Audio/GameTheme.ogg\" (couldn't open stream)"},
    // The list still exists but names nobody, so the menu asks for a name as on a first start.
    {"User/UserData.bin",         Empty,     NamePage, "User/UserData.bin: *empty*"},
    {"User/Tester.bin",           Truncated, Game,     "User/Tester.bin: value 4 is missing or unreadable; no level counts as reached"},
    // Attacks: files written to hang the game, exhaust it, or make it forget its player.
    {"Scripts/HUDElements.lua",   Replaced,  Game,     "Scripts/HUDElements.lua: update failed: *ran too long*",
     "function init() end function update() while true do pcall(function() while true do end end) end end"},
    {"Levels/Level1.lua",         Replaced,  Game,     "Level file Levels/Level1.lua: fails to run: *'find'*; no blocks were built",
     "string.find(string.rep('a', 40), string.rep('a*', 20) .. 'b')"},
    {"Levels/Level1.lua",         Replaced,  Game,     "Level file Levels/Level1.lua: its blocks would take * MB, more than the 64 MB a level may use; no blocks were built",
     "local d = {} for i = 1, 30000 do d[i] = 6 end return {layers = {{width = 30, height = 1000, data = d}, {data = {}}}}"},
    {"Levels/Level1.lua",         Replaced,  Game,     "Level file Levels/Level1.lua: the level has no spawner, so it cannot be played",
     "local d = {} for i = 1, 300 do d[i] = i > 270 and 1 or 0 end return {layers = {{width = 30, height = 10, data = d}, {data = {}}}}"},
    // A key marker on an empty cell, with a power block the automatic player strikes at once.
    {"Levels/Level1.lua",         Replaced,  Demo,     "Level file Levels/Level1.lua: cell 31 is marked for the key but holds no block (1 such cell); the key is never hidden there",
     "local d, m = {}, {} for i = 1, 300 do d[i] = 0 m[i] = 0 end d[154] = 5 d[291] = 6 m[32] = 1 return {layers = {{width = 30, height = 10, data = d}, {data = m}}}"},
    {"User/UserData.bin",         Fifo,      NamePage, "User/UserData.bin: is not a regular file; it is not read"},
    {"User/Tester.bin",           DevZero,   NamePage, "User/Tester.bin: is not a regular file; Tester is skipped"},
    {"User/Tester.bin",           Unreadable, NameRefused, "User/Tester.bin: cannot be opened (*); Tester is skipped"},
    {"User/UserData.bin",         Replaced,  Game,     NotReadAtStart, "Tester\r\n"},
    {"User/UserData.bin",         Replaced,  Game,     "User/UserData.bin: line 1 is longer than any name (100000 bytes); it is skipped",
     std::string(100000, 'x') + "\nTester\n"},
};
// clang-format on

const fs::path Artifacts = fs::path(QUELLIX_BINARY_DIR) / "test-artifacts" / "bad-data";
const std::string NullAudio =
    "ALSOFT_CONF=" + (fs::path(QUELLIX_SOURCE_DIR) / "tests" / "openal-null.conf").string();

// Where the name page's text box is on the 1280 x 720 test screen: from (390, 200), 500 x 32; the
// line that says why a name is refused, under the welcome line; and "Exit" on the main page.
const int NameBoxX = 450, NameBoxY = 216;
const sf::IntRect NameBoxArea(380, 190, 520, 52);
const sf::IntRect NoticeArea(0, 292, 1280, 36);
const sf::IntRect ExitArea(380, 480, 520, 60);

void PrintTo(const BadFile& bad, std::ostream* out) {
    *out << bad.file;
}

std::string caseName(const ::testing::TestParamInfo<BadFile>& info) {
    std::string name = info.param.file;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    // A file attacked in several ways has a row for each.
    static const char* const faults[] = {"Missing",  "Empty", "Truncated", "Garbage",
                                         "Replaced", "Fifo",  "DevZero",   "Unreadable"};
    if (info.param.fault >= Fault::Replaced)
        name += "_" + std::string(faults[static_cast<int>(info.param.fault)]) +
                std::to_string(info.index);
    return name;
}

std::string broken(const std::string& content, Fault fault) {
    switch (fault) {
    case Fault::Missing:
    case Fault::Empty:
        return "";
    case Fault::Truncated: {
        const std::size_t start = content.size() * 3 / 4;
        for (std::size_t i = start; i + 1 < content.size(); ++i)
            if (std::isalnum(static_cast<unsigned char>(content[i])) &&
                std::isalnum(static_cast<unsigned char>(content[i + 1])))
                return content.substr(0, i + 1);
        return content.substr(0, start);
    }
    case Fault::Replaced:
    case Fault::Fifo:
    case Fault::DevZero:
    case Fault::Unreadable:
        break;
    case Fault::Garbage: {
        // No format starts like this; the rest is noise from a fixed seed, so every run sees the
        // same bytes.
        std::string bytes = "GARBAGE!";
        std::mt19937 noise(20240601);
        while (bytes.size() < 4096)
            bytes.push_back(static_cast<char>(noise() & 0xff));
        return bytes;
    }
    }
    return content;
}

// Whole-line match in which '*' stands for any text.
bool matchesPattern(const std::string& line, const std::string& pattern) {
    std::vector<std::string> pieces(1);
    for (const char c : pattern) {
        if (c == '*')
            pieces.emplace_back();
        else
            pieces.back().push_back(c);
    }
    if (line.compare(0, pieces.front().size(), pieces.front()) != 0)
        return false;
    std::size_t at = pieces.front().size();
    for (std::size_t i = 1; i + 1 < pieces.size(); ++i) {
        at = line.find(pieces[i], at);
        if (at == std::string::npos)
            return false;
        at += pieces[i].size();
    }
    const std::string& last = pieces.back();
    return pieces.size() == 1 ? at == line.size()
                              : line.size() >= at + last.size() &&
                                    line.compare(line.size() - last.size(), last.size(), last) == 0;
}

std::vector<std::string> linesNaming(const std::string& text, const std::string& file) {
    std::vector<std::string> found;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (line.find(file) != std::string::npos)
            found.push_back(line);
    return found;
}

// The content of each regular file, and what other entries are (a FIFO could not be read).
std::map<std::string, std::string> savedFiles(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_symlink())
            files[name] = "link to " + fs::read_symlink(entry.path()).string();
        else if (entry.is_regular_file())
            files[name] = readFile(entry.path());
        else
            files[name] = "special file";
    }
    return files;
}

void pause(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void makeUnreadable(const fs::path& file, const std::string& content) {
    writeFile(file, content);
    fs::permissions(file, fs::perms::none);
    if (std::ifstream(file).is_open()) {
        fs::remove(file);
        fs::create_symlink(file.filename(), file);
    }
}

// One run of the real game in a copy of the data folder with one known player, driven to the menu
// and into play; a failing case leaves its screenshots and error stream behind.
class GameRun : public ::testing::Test {
protected:
    GameRun() {
        copyDataDir(dir.path());
        writeFile(dir / "User" / "UserData.bin", "Tester\n");
        writeFile(dir / "User" / "Tester.bin", "5\n0\n1\n1");
    }

    void TearDown() override {
        if (!HasFailure())
            return;
        const std::string name = artifactName();
        fs::create_directories(Artifacts);
        for (const auto& [step, picture] : shots)
            picture.saveToFile((Artifacts / (name + "-" + step + ".png")).string());
        // The start of the error stream is enough, even when a case floods it.
        writeFile(Artifacts / (name + "-stderr.txt"),
                  readFile(dir / "stderr.txt").substr(0, 1 << 20));
    }

    virtual std::string artifactName() const {
        return ::testing::UnitTest::GetInstance()->current_test_info()->name();
    }

    sf::Image shot(const std::string& step) {
        sf::Image picture = screen.shot();
        shots[step] = picture;
        return picture;
    }

    // Skips the title and waits until the menu's page answers: the main page the pointer over
    // "Play", the name page a click and a letter, each with a change in its own place only.
    // Returns the menu with the pointer parked in a corner.
    std::optional<sf::Image> reachMenu(GameProcess& game, Reach reach) {
        if (reach == Reach::Game)
            return waitForMainPage(game, screen, 30.0,
                                   [this](const std::string& step, const sf::Image& picture) {
                                       shots[step] = picture;
                                   });
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        screen.movePointer(1, 1);
        sf::Image previous = shot("probe-parked");
        for (int probe = 1; game.isRunning() && std::chrono::steady_clock::now() < deadline;
             ++probe) {
            // A key pressed before the title screen existed was lost: press another now and then.
            // Each click and letter shows in the text box once it has the keyboard.
            xdotool(std::string(probe % 4 == 0 ? "key shift " : "") + "mousemove " +
                    std::to_string(NameBoxX) + " " + std::to_string(NameBoxY) +
                    " click 1 mousemove 1 1 key x");
            pause(100);
            const sf::Image now = shot("probe-typed");
            const auto [in, out] = changedPixels(previous, now, NameBoxArea);
            if (in > 0 && out == 0)
                return now;
            previous = now;
        }
        return std::nullopt;
    }

    // Types the name over what the probe typed and presses Return: a line appears under the
    // welcome line, and the main page does not.
    bool refusesName(const std::string& name) {
        xdotool("key --repeat 20 BackSpace type " + name);
        pause(300);
        const sf::Image typed = shot("name-typed");
        xdotool("key Return");
        pause(500);
        const sf::Image after = shot("name-refused");
        return changedPixels(typed, after, NoticeArea).first > 0 &&
               changedPixels(typed, after, ExitArea).first == 0;
    }

    // The game screen replaces the menu picture, its title and its buttons, and is no blank window
    // left behind by a program that ended.
    bool reachPlay(GameProcess& game, const sf::Image& menu) {
        xdotool("mousemove " + std::to_string(PlayButton.x) + " " + std::to_string(PlayButton.y) +
                " click 1");
        bool playing = false;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (!playing && game.isRunning() && std::chrono::steady_clock::now() < deadline) {
            pause(200);
            const sf::Image now = shot("game");
            playing = difference(menu, now) > 0.5 && nonUniformShare(now) > 0.1 && game.isRunning();
        }
        return playing;
    }

    TempDir dir;
    TestScreen screen;
    std::map<std::string, sf::Image> shots;
};

class BadDataFile : public GameRun, public ::testing::WithParamInterface<BadFile> {
protected:
    void SetUp() override {
        const BadFile& bad = GetParam();
        const fs::path target = dir / bad.file;
        // A data file that was renamed would otherwise leave nothing broken to test.
        ASSERT_TRUE(fs::is_regular_file(target)) << target << " is not in the data folder";
        const std::string content = readFile(target);
        fs::remove(target);
        if (bad.fault == Fault::Replaced)
            writeFile(target, bad.content);
        else if (bad.fault == Fault::Fifo)
            ASSERT_EQ(mkfifo(target.c_str(), 0600), 0);
        else if (bad.fault == Fault::DevZero)
            fs::create_symlink("/dev/zero", target);
        else if (bad.fault == Fault::Unreadable)
            makeUnreadable(target, content);
        else if (bad.fault != Fault::Missing)
            writeFile(target, broken(content, bad.fault));
        savesBefore = savedFiles(dir / "User");
    }

    std::string artifactName() const override { return caseName({GetParam(), 0}); }

    std::map<std::string, std::string> savesBefore;
};

TEST_P(BadDataFile, StartsReachesWhatItCanAndNamesTheFileOnce) {
    const BadFile& bad = GetParam();
    if (bad.reach == Reach::Demo) {
        GameProcess game(dir.path(), NullAudio, {"--demo", "--windowed"});
        ASSERT_TRUE(game.waitForWindow(20.0)) << "no window\n" << game.errors();
        pause(3000);
        ASSERT_TRUE(game.isRunning()) << "the demo ended by itself\n" << game.errors();
        // Pressed through XTest once the window has the focus: sent to the window it closes, the
        // key's release would never come and the key would go on repeating into the next game.
        xdotool("search --name Gravelmoth windowfocus --sync");
        xdotool("key Escape");
        EXPECT_EQ(game.waitForExit(10.0), 0) << game.errors();
    } else {
        GameProcess game(dir.path(), NullAudio);
        ASSERT_TRUE(game.waitForWindow(20.0)) << "no window\n" << game.errors();
        // Keys go to the window with the keyboard focus; the first one ends the title screen. Shift
        // does nothing on the menu, where Space would press its highlighted button if the title
        // had already ended by itself.
        xdotool("search --name Gravelmoth windowfocus --sync key shift");
        const std::optional<sf::Image> menu = reachMenu(game, bad.reach);
        ASSERT_TRUE(menu) << (game.isRunning() ? "the menu never answered"
                                               : "the game ended before its menu")
                          << "\n"
                          << game.errors();
        shots["menu"] = *menu;

        if (bad.reach == Reach::Game) {
            EXPECT_TRUE(reachPlay(game, *menu))
                << (game.isRunning() ? "the game screen never replaced the menu"
                                     : "the program ended instead of playing");
        } else if (bad.reach == Reach::NameRefused) {
            EXPECT_TRUE(refusesName("Tester")) << "the name page did not stay, saying why";
        }

        EXPECT_TRUE(game.isRunning()) << "the program ended before Escape";
        xdotool("key Escape");
        EXPECT_EQ(game.waitForExit(10.0), 0) << "Escape ends the program normally\n"
                                             << game.errors();
    }

    const std::string errors = readFile(dir / "stderr.txt");
    const std::vector<std::string> naming = linesNaming(errors, bad.file);
    if (!bad.message) {
        EXPECT_TRUE(naming.empty()) << bad.file << " is not read before play starts, yet:\n"
                                    << errors;
    } else {
        EXPECT_EQ(naming.size(), 1u) << "one line names " << bad.file << "; the error stream:\n"
                                     << errors;
        bool told = false;
        for (const std::string& line : naming)
            told = told || matchesPattern(line, bad.message);
        EXPECT_TRUE(told) << "expected a line like\n  " << bad.message << "\nthe error stream:\n"
                          << errors;
    }

    // Play adds the player's run beside their file; nothing that was saved changes.
    std::map<std::string, std::string> saves = savedFiles(dir / "User");
    saves.erase("Tester.run-1.replay");
    EXPECT_EQ(saves, savesBefore) << "the player's saves changed";
}

INSTANTIATE_TEST_SUITE_P(BadData, BadDataFile, ::testing::ValuesIn(Cases), caseName);

// A machine without a sound device: OpenAL finds no driver it can use. Every call into the audio
// library would fail with a message of its own, thousands a second while music streams.
using NoSoundDevice = GameRun;

TEST_F(NoSoundDevice, TheGameSaysSoOnceAndPlaysSilently) {
    writeFile(dir / "no-device.conf", "[general]\ndrivers = no-such-driver\n");
    {
        GameProcess game(dir.path(), "ALSOFT_CONF=" + (dir / "no-device.conf").string());
        ASSERT_TRUE(game.waitForWindow(20.0)) << "no window\n" << game.errors();
        xdotool("search --name Gravelmoth windowfocus --sync key shift");
        const std::optional<sf::Image> menu = reachMenu(game, Reach::Game);
        ASSERT_TRUE(menu) << "the menu never answered\n" << game.errors().substr(0, 2000);
        ASSERT_TRUE(reachPlay(game, *menu)) << game.errors().substr(0, 2000);
        // The game theme streams all along and the first wolf comes out with its sound at 1.5 s.
        pause(3000);
        EXPECT_TRUE(game.isRunning()) << "the program ended before Escape";
        xdotool("key Escape");
        EXPECT_EQ(game.waitForExit(10.0), 0) << game.errors().substr(0, 2000);
    }
    const std::string errors = readFile(dir / "stderr.txt");
    EXPECT_LE(std::count(errors.begin(), errors.end(), '\n'), 5) << errors.substr(0, 2000);
    EXPECT_EQ(
        linesNaming(errors, "sound"),
        std::vector<std::string>{"No sound device can be opened: the game runs without sound"});
}

} // namespace
