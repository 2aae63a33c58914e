// The real program from the title to the menu and back out, in a copy of the data folder without
// players: the name page, typing a name, the welcome line, the user page, Escape, the files left
// behind, and a second start that goes straight to the main page. And what a player expects of a
// platformer: the menu with keys only, pausing, the volume keys, continuing where they got, and
// the menu in their language.
#include "core/BuildInfo.hpp"

#include "TestSupport.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

// After the test framework: Xlib's macros (None, Bool, ...) would clash with its names.
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace {

using namespace testsupport;

const fs::path Artifacts = fs::path(QUELLIX_BINARY_DIR) / "test-artifacts" / "menu";

// Where the menu's buttons are on the 1280 x 720 test screen.
const int Middle = 640;
const int PlayRow = 350;
const int UserRow = 430;
const int NameBoxX = 450, NameBoxY = 216;
// How to play's only button, Back or Play.
const int HowToPlayButtonRow = 640;
// The user page: name k at 400 + 50 k, Back one row below the last name.
int userPageRow(int k) {
    return 400 + 50 * k;
}

bool waitFor(const std::function<bool()>& condition, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

// Gives a letter a key of its own on the X keyboard while the object lives. Without one, xdotool
// binds a spare key just for the moment of typing, and a busy game may look the key up after it
// has been unbound again and see nothing.
class ExtraKey {
public:
    explicit ExtraKey(KeySym letter) : display(XOpenDisplay(nullptr)) {
        if (!display)
            return;
        int first = 0, last = 0, perKey = 0;
        XDisplayKeycodes(display, &first, &last);
        KeySym* map =
            XGetKeyboardMapping(display, static_cast<KeyCode>(first), last - first + 1, &perKey);
        for (int code = last; code >= first && keycode == 0; --code) {
            bool unused = true;
            for (int i = 0; i < perKey; ++i)
                unused = unused && map[(code - first) * perKey + i] == NoSymbol;
            if (unused)
                keycode = code;
        }
        XFree(map);
        if (keycode != 0) {
            KeySym both[2] = {letter, letter};
            XChangeKeyboardMapping(display, keycode, 2, both, 1);
            XSync(display, False);
        }
    }
    ~ExtraKey() {
        if (!display)
            return;
        if (keycode != 0) {
            KeySym none[2] = {NoSymbol, NoSymbol};
            XChangeKeyboardMapping(display, keycode, 2, none, 1);
            XSync(display, False);
        }
        XCloseDisplay(display);
    }
    ExtraKey(const ExtraKey&) = delete;
    ExtraKey& operator=(const ExtraKey&) = delete;

private:
    Display* display;
    int keycode = 0;
};

// A data file replaced by a named pipe: the game's loading task stops when it opens the file,
// until the test opens the other end; the empty file then fails to load and the task goes on.
class Gate {
public:
    explicit Gate(const fs::path& file) : file(file) {
        fs::remove(file);
        mkfifo(file.c_str(), 0644);
    }
    // Waits until the game is held at the gate, then lets it through; false after the timeout.
    bool release(double seconds) {
        return waitFor(
            [&] {
                // Opening the writing end without blocking succeeds only while a reader waits.
                const int end = open(file.c_str(), O_WRONLY | O_NONBLOCK);
                if (end < 0)
                    return false;
                close(end);
                return true;
            },
            seconds);
    }

private:
    fs::path file;
};

// Share of clearly different pixels inside one area of two screenshots.
double regionDifference(const sf::Image& a, const sf::Image& b, const sf::IntRect& area) {
    std::size_t differing = 0;
    for (int y = area.top; y < area.top + area.height; ++y)
        for (int x = area.left; x < area.left + area.width; ++x) {
            const sf::Color p = a.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y));
            const sf::Color q = b.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y));
            if (std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b) > 60)
                ++differing;
        }
    return static_cast<double>(differing) / (area.width * area.height);
}

// One run of the game in a data folder, driven with xdotool; each step can leave a screenshot.
class MenuSession {
public:
    explicit MenuSession(const fs::path& folder, const std::string& environment = "")
        : folder(folder), game(folder, environment) {}

    GameProcess& process() { return game; }

    // For a known player: waits for the window and for the main page, see waitForMainPage.
    bool reachMainPage() {
        if (!game.waitForWindow(20.0))
            return false;
        xdotool("search --name Gravelmoth windowfocus --sync");
        menu = waitForMainPage(game, screen, 30.0);
        return menu.has_value() && game.isRunning();
    }
    // The main page as reachMainPage found it, with the pointer parked.
    const sf::Image& mainPage() const { return *menu; }
    // A quick shot through the session's own connection, kept as an artifact.
    sf::Image quickShot(const std::string& name) {
        const sf::Image picture = screen.shot();
        fs::create_directories(Artifacts);
        picture.saveToFile((Artifacts / (name + ".png")).string());
        return picture;
    }

    // Waits for the window and skips the title with a key until the menu is ready, which the
    // caller recognises (the loading task makes "User" on a first start, for instance).
    bool reachMenu(const std::function<bool()>& ready) {
        if (!game.waitForWindow(20.0))
            return false;
        // Keys go to the window with the keyboard focus.
        xdotool("search --name Gravelmoth windowfocus --sync");
        // Shift skips the title and does nothing on the menu's pages.
        const bool reached = waitFor(
            [&] {
                xdotool("key shift");
                return !game.isRunning() || ready();
            },
            20.0);
        return reached && game.isRunning() && settle();
    }

    // The pointer is parked in a corner so no button shows its hovered look in the shots.
    void click(int x, int y) {
        xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1");
        xdotool("mousemove 1 1");
        settle();
    }

    void type(const std::string& text) {
        xdotool("type --delay 60 '" + text + "'");
        settle();
    }

    void key(const std::string& name) { xdotool("key " + name); }

    // Holds a key down for a while, as a player steering the tank would.
    void hold(const std::string& name, int milliseconds) {
        xdotool("keydown " + name);
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        xdotool("keyup " + name);
    }

    sf::Image shot(const std::string& name) {
        xdotool("mousemove 1 1");
        settle();
        const sf::Image picture = screenshot();
        fs::create_directories(Artifacts);
        picture.saveToFile((Artifacts / (name + ".png")).string());
        return picture;
    }

private:
    // A few frames pass at the display's pace.
    bool settle() {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        return true;
    }

    fs::path folder;
    GameProcess game;
    TestScreen screen;
    std::optional<sf::Image> menu;
};

class MenuEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        copyDataDir(dir.path());
        ASSERT_FALSE(fs::exists(dir / "User"));
    }

    // A player the game finds at start-up, with the four values of their file.
    void knownPlayer(const std::string& values) {
        writeFile(dir / "User" / "UserData.bin", "Ann\n");
        writeFile(dir / "User" / "Ann.bin", values);
    }

    TempDir dir;
};

TEST_F(MenuEndToEnd, FirstStartAsksForANameThenWelcomesThePlayer) {
    const std::string name = "Zo\xC3\xAB";
    const ExtraKey diaeresis(XK_ediaeresis);
    sf::Image mainPage;
    {
        MenuSession session(dir.path());
        ASSERT_TRUE(session.reachMenu([&] { return fs::is_directory(dir / "User"); }))
            << session.process().errors();
        const sf::Image namePage = session.shot("1-name-page");
        EXPECT_GT(nonUniformShare(namePage), 0.05) << "the menu shows more than one colour";

        session.click(NameBoxX, NameBoxY);
        session.type(name);
        const sf::Image typed = session.shot("2-name-typed");
        EXPECT_GT(difference(typed, namePage), 0.0005) << "the typed name shows in the box";
        session.key("Return");
        ASSERT_TRUE(waitFor([&] { return fs::exists(dir / "User" / "UserData.bin"); }, 5.0))
            << session.process().errors();
        mainPage = session.shot("3-welcome");
        EXPECT_GT(difference(mainPage, typed), 0.002) << "the name page gave way to the main page";

        session.click(Middle, UserRow);
        const sf::Image userPage = session.shot("4-user-page");
        EXPECT_GT(difference(userPage, mainPage), 0.002) << "the user page replaced the main page";

        // Choosing the one name, the current player's, leads back to the same main page.
        session.click(Middle, userPageRow(0));
        EXPECT_LT(difference(session.shot("5-user-page-after-name"), mainPage), 0.0005);

        session.click(Middle, UserRow);
        session.click(Middle, userPageRow(1) + 50); // Back, below the one name
        const sf::Image back = session.shot("6-back");
        EXPECT_LT(difference(back, mainPage), 0.0005) << "Back shows the main page as it was";

        // The new player's first Play shows How to play, whose own Play starts the game; the
        // first tank stands at the bottom-left of the level, which the camera shows just above
        // the banner, and a held arrow key drives it away from there.
        session.click(Middle, PlayRow);
        const sf::Image howToPlay = session.shot("7-how-to-play");
        EXPECT_GT(difference(howToPlay, back), 0.3) << "How to play covers the menu";
        session.click(Middle, HowToPlayButtonRow);
        const sf::Image game = session.shot("8-game");
        EXPECT_GT(difference(game, back), 0.3) << "the game screen replaced the menu";
        session.hold("Right", 900);
        const sf::Image moved = session.shot("9-tank-moved");
        const sf::IntRect startArea(0, 440, 140, 136);
        EXPECT_GT(regionDifference(moved, game, startArea), 0.05)
            << "the tank left the place where it started";

        session.key("Escape");
        EXPECT_EQ(session.process().waitForExit(10.0), 0) << session.process().errors();
    }
    EXPECT_EQ(readFile(dir / "User" / "UserData.bin"), name + "\n");
    EXPECT_EQ(readFile(dir / "User" / (name + ".bin")), "5\n0\n1\n1");

    // The second start skips the name page and welcomes the same player on the main page.
    MenuSession again(dir.path());
    EXPECT_TRUE(again.reachMenu([&] {
        return difference(again.shot("7-second-start"), mainPage) < 0.0005;
    })) << "the second start shows the same main page and welcome line\n"
        << again.process().errors();
    again.key("Escape");
    EXPECT_EQ(again.process().waitForExit(10.0), 0) << again.process().errors();
    EXPECT_EQ(readFile(dir / "User" / "UserData.bin"), name + "\n");
}

// Started inside an installed data folder, as from a menu entry: the player is registered in
// the data home and nothing is written into the data folder.
TEST_F(MenuEndToEnd, AnInstalledGameKeepsItsPlayersInTheDataHome) {
    writeFile(dir / BuildInfo::InstalledMarker, "");
    const TempDir home;
    const fs::path players = home / "quellix" / "User";
    {
        MenuSession session(dir.path(), "XDG_DATA_HOME=" + home.path().string());
        ASSERT_TRUE(session.reachMenu([&] { return fs::is_directory(players); }))
            << session.process().errors();
        session.click(NameBoxX, NameBoxY);
        session.type("Ann");
        session.key("Return");
        ASSERT_TRUE(waitFor([&] { return fs::exists(players / "Ann.bin"); }, 5.0))
            << session.process().errors();
        session.key("Escape");
        EXPECT_EQ(session.process().waitForExit(10.0), 0) << session.process().errors();
    }
    EXPECT_EQ(readFile(players / "UserData.bin"), "Ann\n");
    EXPECT_EQ(readFile(players / "Ann.bin"), "5\n0\n1\n1");
    EXPECT_FALSE(fs::exists(dir / "User"));
}

TEST_F(MenuEndToEnd, ExitOnTheMainPageEndsTheProgram) {
    writeFile(dir / "User" / "UserData.bin", "Ann\n");
    writeFile(dir / "User" / "Ann.bin", "5\n0\n1\n1");
    MenuSession session(dir.path());
    ASSERT_TRUE(session.process().waitForWindow(20.0)) << session.process().errors();
    // A click where Exit is skips the title too, and does nothing while loading.
    waitFor(
        [&] {
            session.click(Middle, 510);
            return !session.process().isRunning();
        },
        20.0);
    EXPECT_EQ(session.process().waitForExit(10.0), 0) << session.process().errors();
}

// The loading task is held at the second font while the window is closed: the program must wait
// for it before it destroys what the task still writes (the fonts, the player's profile). Under
// the sanitizer build a late write into freed memory ends the program with an error.
TEST_F(MenuEndToEnd, ClosingTheWindowWhileLoadingWaitsForTheLoadingTask) {
    Gate titleFont(dir / "Fonts" / "MenuTitle.ttf");
    Gate buttonFont(dir / "Fonts" / "MenuButton.ttf");
    MenuSession session(dir.path());
    GameProcess& game = session.process();
    ASSERT_TRUE(game.waitForWindow(20.0)) << game.errors();
    xdotool("search --name Gravelmoth windowfocus --sync key shift");
    ASSERT_TRUE(titleFont.release(30.0)) << "the loading task never reached the fonts\n"
                                         << game.errors();

    closeWindow("Gravelmoth");
    EXPECT_TRUE(
        waitFor([] { return run("xdotool search --name Gravelmoth >/dev/null 2>&1") != 0; }, 10.0))
        << "the window closes at once";
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_TRUE(game.isRunning()) << "the program waits for the loading task";

    ASSERT_TRUE(buttonFont.release(10.0));
    EXPECT_EQ(game.waitForExit(20.0), 0) << game.errors();
    EXPECT_TRUE(fs::is_directory(dir / "User")) << "the task looked for the player after the fonts";
}

// The tank at the start of a level, and play seen around it.
const sf::IntRect StartArea(0, 440, 140, 136);
// Under Exit, where a fourth button goes.
const sf::IntRect FourthButtonArea(380, 560, 520, 60);
// Where the volume shows, in the top right corner.
const sf::IntRect VolumeArea(1000, 0, 280, 110);

TEST_F(MenuEndToEnd, DownDownReturnOnTheMainPageIsExit) {
    knownPlayer("5\n0\n1\n1");
    MenuSession session(dir.path());
    ASSERT_TRUE(session.reachMainPage()) << session.process().errors();
    session.key("Down");
    session.key("Down");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const sf::Image highlighted = session.quickShot("keys-exit-highlighted");
    const auto [onButtons, elsewhere] =
        changedPixels(session.mainPage(), highlighted, sf::IntRect(380, 300, 520, 260));
    EXPECT_GT(onButtons, 1000u) << "a button shows its hovered look";
    EXPECT_EQ(elsewhere, 0u);
    session.key("Return");
    EXPECT_EQ(session.process().waitForExit(10.0), 0) << session.process().errors();
}

TEST_F(MenuEndToEnd, ANameTypedWithoutAClickIsRegistered) {
    MenuSession session(dir.path());
    ASSERT_TRUE(session.reachMenu([&] { return fs::is_directory(dir / "User"); }))
        << session.process().errors();
    session.type("Kim");
    session.shot("name-typed-without-click");
    session.key("Return");
    EXPECT_TRUE(waitFor([&] { return fs::exists(dir / "User" / "Kim.bin"); }, 5.0))
        << session.process().errors();
    session.key("Escape");
    EXPECT_EQ(session.process().waitForExit(10.0), 0) << session.process().errors();
    EXPECT_EQ(readFile(dir / "User" / "UserData.bin"), "Kim\n");
    EXPECT_EQ(readFile(dir / "User" / "Kim.bin"), "5\n0\n1\n1");
}

TEST_F(MenuEndToEnd, PFreezesPlayWhileAnArrowIsHeldAndPAgainGoesOn) {
    knownPlayer("5\n0\n1\n1");
    MenuSession session(dir.path());
    ASSERT_TRUE(session.reachMainPage()) << session.process().errors();
    session.key("Return"); // Play is highlighted
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    session.quickShot("level-1-banner");
    std::this_thread::sleep_for(std::chrono::milliseconds(2000));

    session.key("p");
    xdotool("keydown Right");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const sf::Image paused = session.quickShot("paused");
    std::this_thread::sleep_for(std::chrono::milliseconds(900));
    const sf::Image stillPaused = session.quickShot("still-paused");
    EXPECT_EQ(difference(paused, stillPaused), 0.0) << "nothing moves while paused";

    session.key("p");
    std::this_thread::sleep_for(std::chrono::milliseconds(900));
    const sf::Image playing = session.quickShot("playing-again");
    xdotool("keyup Right");
    EXPECT_GT(difference(playing, stillPaused), 0.2) << "the dimmed picture and its words are gone";
    const auto [inStart, outside] = changedPixels(paused, playing, StartArea);
    EXPECT_GT(static_cast<double>(inStart) / (StartArea.width * StartArea.height), 0.05)
        << "the held arrow drives the tank away once play goes on";

    session.key("Escape");
    EXPECT_EQ(session.process().waitForExit(10.0), 0) << session.process().errors();
}

// A player binds driving right to D on the options page, with the keys only: the choice is kept,
// and in the next game D drives where Right does nothing any more.
TEST_F(MenuEndToEnd, DriveRightBoundToDOnTheOptionsPageDrivesInPlay) {
    knownPlayer("5\n0\n1\n1");
    {
        MenuSession session(dir.path());
        ASSERT_TRUE(session.reachMainPage()) << session.process().errors();
        session.key("Up"); // from Play round to the bottom row's Options
        session.key("Return");
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        const sf::Image options = session.quickShot("options");
        EXPECT_GT(difference(options, session.mainPage()), 0.05) << "the options page shows";
        session.key("Down");
        session.key("Return");
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        session.key("d");
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        session.quickShot("options-right-on-d");
        session.key("Escape");
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        // The main page again, but for the highlight, now on Options.
        EXPECT_LT(difference(session.quickShot("options-left"), session.mainPage()), 0.03)
            << "Escape goes back to the main page";
        session.key("Escape");
        EXPECT_EQ(session.process().waitForExit(10.0), 0) << session.process().errors();
    }
    EXPECT_NE(readFile(dir / "Settings.txt").find("key-right D\n"), std::string::npos);

    MenuSession session(dir.path());
    ASSERT_TRUE(session.reachMainPage()) << session.process().errors();
    session.key("Return");                                        // Play
    std::this_thread::sleep_for(std::chrono::milliseconds(2500)); // the tank is down
    const sf::Image start = session.quickShot("play-start");
    session.hold("Right", 900);
    const sf::Image afterRight = session.quickShot("play-after-right");
    EXPECT_LT(changedPixels(start, afterRight, StartArea).first, 200u) << "Right drives no more";
    session.hold("d", 900);
    const sf::Image afterD = session.quickShot("play-after-d");
    EXPECT_GT(static_cast<double>(changedPixels(afterRight, afterD, StartArea).first) /
                  (StartArea.width * StartArea.height),
              0.05)
        << "D drives the tank away";
    session.key("Escape");
    EXPECT_EQ(session.process().waitForExit(10.0), 0) << session.process().errors();
}

// The loudness of what OpenAL wrote into a WAV file, between two points in the file's growth.
class Recording {
public:
    explicit Recording(fs::path file) : file(std::move(file)) {}

    // How far the recording has got, in bytes of the file.
    std::uintmax_t mark() const {
        std::error_code error;
        const std::uintmax_t size = fs::file_size(file, error);
        return error ? 0 : size;
    }

    // Root mean square of the 16-bit samples written between two marks; -1 without them.
    double loudness(std::uintmax_t from, std::uintmax_t to) const {
        const std::string bytes = readFile(file);
        const std::size_t data = bytes.find("data", 12);
        if (data == std::string::npos)
            return -1.0;
        const std::size_t start = std::max<std::size_t>(from, data + 8) & ~std::size_t(1);
        const std::size_t end = std::min<std::size_t>(to, bytes.size()) & ~std::size_t(1);
        double sum = 0.0;
        std::size_t count = 0;
        for (std::size_t i = start; i + 1 < end; i += 2, ++count) {
            const auto sample = static_cast<std::int16_t>(
                static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[i])) |
                static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[i + 1]) << 8));
            sum += static_cast<double>(sample) * sample;
        }
        return count ? std::sqrt(sum / static_cast<double>(count)) : -1.0;
    }

private:
    fs::path file;
};

TEST_F(MenuEndToEnd, TheVolumeKeysChangeWhatIsHeardShowTheLevelAndAreKept) {
    knownPlayer("5\n0\n1\n1");
    const fs::path wav = dir / "heard.wav";
    writeFile(dir / "wave.conf", "[general]\ndrivers = wave\nsample-type = int16\n"
                                 "channels = stereo\n[wave]\nfile = " +
                                     wav.string() + "\n");
    const Recording heard(wav);
    const auto listen = [](int milliseconds) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    };
    std::uintmax_t full[2], lowered[2], muted[2];
    {
        MenuSession session(dir.path(), "ALSOFT_CONF=" + (dir / "wave.conf").string());
        ASSERT_TRUE(session.reachMainPage()) << session.process().errors();
        listen(1000); // the menu's theme has begun
        full[0] = heard.mark();
        listen(1500);
        full[1] = heard.mark();

        // Eight steps down, from 100 % to 20 %.
        xdotool("key minus minus minus minus minus minus minus minus");
        const sf::Image shown = session.quickShot("volume-20");
        const auto [inCorner, elsewhere] = changedPixels(session.mainPage(), shown, VolumeArea);
        EXPECT_GT(inCorner, 500u) << "the level shows in the corner";
        EXPECT_EQ(elsewhere, 0u);
        listen(400);
        lowered[0] = heard.mark();
        listen(1500);
        lowered[1] = heard.mark();
        EXPECT_EQ(
            changedPixels(session.mainPage(), session.quickShot("volume-gone"), VolumeArea).first,
            0u)
            << "and goes after about a second";

        session.key("m");
        listen(400);
        muted[0] = heard.mark();
        listen(1500);
        muted[1] = heard.mark();
        session.key("Escape");
        EXPECT_EQ(session.process().waitForExit(10.0), 0) << session.process().errors();
    }
    const double atFull = heard.loudness(full[0], full[1]);
    const double atTwenty = heard.loudness(lowered[0], lowered[1]);
    const double whenMuted = heard.loudness(muted[0], muted[1]);
    EXPECT_GT(atFull, 300.0) << "the menu's theme is heard";
    EXPECT_LT(atTwenty, atFull * 0.5) << atTwenty << " after minus against " << atFull;
    EXPECT_GT(atTwenty, atFull * 0.05) << "lower, not silent";
    EXPECT_LT(whenMuted, 2.0) << "M silences it";
    EXPECT_NE(readFile(dir / "Settings.txt").find("music 20\neffects 20\nmuted yes\n"),
              std::string::npos);
    EXPECT_EQ(readFile(dir / "User" / "Ann.bin"), "5\n0\n1\n1");
}

// The best level a player reached is the second value of their file (a cleared level raises it:
// GameStateScreen's tests). With 2 there, the main page offers "Continue: level 2", which plays
// level 2 where "Play" plays level 1.
TEST_F(MenuEndToEnd, APlayerWhoReachedLevelTwoIsOfferedToContinueThere) {
    knownPlayer("5\n0\n1\n1");
    sf::Image withoutProgress, levelOne;
    {
        MenuSession session(dir.path());
        ASSERT_TRUE(session.reachMainPage()) << session.process().errors();
        withoutProgress = session.mainPage();
        session.key("Return");
        std::this_thread::sleep_for(std::chrono::milliseconds(800));
        levelOne = session.quickShot("play-level-1");
        session.key("Escape");
        EXPECT_EQ(session.process().waitForExit(10.0), 0) << session.process().errors();
    }
    knownPlayer("5\n2\n1\n1");
    MenuSession session(dir.path());
    ASSERT_TRUE(session.reachMainPage()) << session.process().errors();
    session.quickShot("continue-offered");
    const auto [inFourth, elsewhere] =
        changedPixels(withoutProgress, session.mainPage(), FourthButtonArea);
    EXPECT_GT(inFourth, 5000u) << "a fourth button under the three";
    EXPECT_EQ(elsewhere, 0u);
    session.key("Up"); // from Play round to the bottom row, and up to Continue
    session.key("Up");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    session.quickShot("continue-highlighted");
    session.key("Return");
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    const sf::Image levelTwo = session.quickShot("continue-level-2");
    EXPECT_GT(difference(levelOne, levelTwo), 0.02) << "another level than Play's";
    EXPECT_GT(nonUniformShare(levelTwo), 0.1);
    session.key("Escape");
    EXPECT_EQ(session.process().waitForExit(10.0), 0) << session.process().errors();
    EXPECT_EQ(readFile(dir / "User" / "Ann.bin"), "5\n2\n1\n1");
}

// The language of the environment, unless the options name another: the same German environment
// shows the labels of the main page in German, then in English once Settings.txt says "en".
TEST_F(MenuEndToEnd, TheMenuSpeaksTheEnvironmentsLanguageUnlessTheOptionsChoseAnother) {
    knownPlayer("5\n0\n1\n1");
    const std::string german = "LANGUAGE= LC_ALL= LC_MESSAGES= LANG=de_DE.UTF-8";
    sf::Image inGerman;
    {
        MenuSession session(dir.path(), german);
        ASSERT_TRUE(session.reachMainPage()) << session.process().errors();
        inGerman = session.quickShot("main-page-de");
        session.key("Escape");
        EXPECT_EQ(session.process().waitForExit(10.0), 0) << session.process().errors();
    }
    writeFile(dir / "Settings.txt", "language en\n");
    MenuSession session(dir.path(), german);
    ASSERT_TRUE(session.reachMainPage()) << session.process().errors();
    session.quickShot("main-page-en-chosen");
    const auto [onPlay, elsewhere] = changedPixels(inGerman, session.mainPage(), PlayArea);
    EXPECT_GT(onPlay, 200u) << "\"Spielen\" became \"Play\"";
    EXPECT_GT(elsewhere, 200u) << "and the other labels and the welcome line changed";
    session.key("Escape");
    EXPECT_EQ(session.process().waitForExit(10.0), 0) << session.process().errors();
}

} // namespace
