#pragma once
// Helpers shared by the tests: scratch folders, files, and driving the real program under X.

#include <SFML/Graphics/Image.hpp>

#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

namespace fs = std::filesystem;

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

void writeFile(const fs::path& file, const std::string& content);
std::string readFile(const fs::path& file);

// The game's data folder as the build made it, and a full copy of it (without saved users).
fs::path dataDir();
void copyDataDir(const fs::path& target);

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

} // namespace testsupport
