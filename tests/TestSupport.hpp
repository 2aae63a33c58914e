#pragma once
// Helpers shared by the tests: scratch folders, files, and driving the real program under X.

#include <SFML/Graphics/Image.hpp>

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Window/Event.hpp>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

namespace fs = std::filesystem;

// Captures a console stream while it lives.
class StreamCapture {
public:
    explicit StreamCapture(std::ostream& stream)
        : stream(stream), previous(stream.rdbuf(text.rdbuf())) {}
    ~StreamCapture() { stream.rdbuf(previous); }
    StreamCapture(const StreamCapture&) = delete;
    StreamCapture& operator=(const StreamCapture&) = delete;
    std::string str() const { return text.str(); }

private:
    std::ostringstream text;
    std::ostream& stream;
    std::streambuf* previous;
};

// A fresh, empty folder below the system's temporary folder, removed when the object dies.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const fs::path& path() const { return dir; }
    fs::path operator/(const std::string& name) const { return dir / name; }

private:
    fs::path dir;
};

// Changes the working directory for the lifetime of the object (the game reads data relative to
// it).
class ScopedCwd {
public:
    explicit ScopedCwd(const fs::path& dir);
    ~ScopedCwd();
    ScopedCwd(const ScopedCwd&) = delete;
    ScopedCwd& operator=(const ScopedCwd&) = delete;

private:
    fs::path previous;
};

// The game's texts in a language, from the catalogues the build made in data/Locale, while the
// object lives; afterwards no catalogue is found, so the texts are English whatever the
// environment says.
class ScopedLanguage {
public:
    explicit ScopedLanguage(const std::string& code);
    ~ScopedLanguage();
    ScopedLanguage(const ScopedLanguage&) = delete;
    ScopedLanguage& operator=(const ScopedLanguage&) = delete;
};

void writeFile(const fs::path& file, const std::string& content);
std::string readFile(const fs::path& file);

// The game's data folder as the build made it, and a full copy of it (without saved users).
fs::path dataDir();
void copyDataDir(const fs::path& target);

// A key press as the window reports it.
sf::Event keyPressed(sf::Keyboard::Key code);

// Runs a shell command and returns its exit status (-1 when it could not be started).
int run(const std::string& command);

// The real game (build/quellix) running in its own process, with its working directory in a data
// folder (or any folder, with --data among the arguments) and its error stream captured in a file
// there. Killed if still running when the object dies.
class GameProcess {
public:
    explicit GameProcess(const fs::path& dataFolder, const std::string& environment = "",
                         const std::vector<std::string>& arguments = {});
    ~GameProcess();
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    // Waits until the game's window exists; false after the timeout.
    bool waitForWindow(double seconds);
    // The exit status once the process has ended within the timeout, else -1 (still running).
    int waitForExit(double seconds);
    bool isRunning();
    void pause();
    void resume();
    std::string errors() const;

private:
    int pid = -1;
    int status = -1;
    fs::path errorFile;
};

// Sends an xdotool command line (for example "key space" or "mousemove 640 350 click 1").
void xdotool(const std::string& arguments);

// Asks every window with this title to close, as a window manager's close button does: the game
// gets the Closed event of its window.
void closeWindow(const std::string& title);

// A whole-screen picture of the X display named by $DISPLAY.
sf::Image screenshot();

// Share of pixels whose colour differs from the most common colour: 0 for a blank screen.
double nonUniformShare(const sf::Image& image);

// Pixels that differ between two shots of the same size inside an area and outside it.
std::pair<std::size_t, std::size_t> changedPixels(const sf::Image& a, const sf::Image& b,
                                                  const sf::IntRect& area);
// Share of pixels that differ between two shots; 1 for shots of different sizes.
double difference(const sf::Image& a, const sf::Image& b);

// One connection to the X server for a whole test: moving the pointer and taking shots through
// it takes a few milliseconds, where every round through xdotool costs a fifth of a second.
class TestScreen {
public:
    TestScreen();
    ~TestScreen();
    TestScreen(const TestScreen&) = delete;
    TestScreen& operator=(const TestScreen&) = delete;

    // The game sees the same motion events as from a real mouse.
    void movePointer(int x, int y);
    sf::Image shot();

private:
    struct Connection;
    std::unique_ptr<Connection> display;
};

// Where the main page's "Play" is on the 1280 x 720 test screen: centred at (640, 350) on a
// button picture of about 460 x 50.
const sf::Vector2i PlayButton(640, 350);
const sf::IntRect PlayArea(380, 300, 520, 100);

// Skips the title with a key the menu does not use, and waits until the main page answers the
// pointer over "Play" with a change there only: the title fades the whole screen and the loading
// screen does not react at all. Each shot goes to `seen`, named by what it shows. The menu with
// the pointer parked in a corner, or nothing when it did not answer within the time.
std::optional<sf::Image>
waitForMainPage(GameProcess& game, TestScreen& screen, double seconds,
                const std::function<void(const std::string&, const sf::Image&)>& seen = {});

} // namespace testsupport
