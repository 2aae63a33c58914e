// Measures the time from starting the game to its first title frame on the screen: the screen's
// corner is painted white first, and the first frame the fullscreen game shows replaces it (the
// title screen's fade starts from black, so that frame is seen as the corner turning dark).
// Also reports the game's peak resident memory after a spell of play.
// Usage: startup_probe GAME_BINARY DATA_FOLDER [RUNS]   (needs an X display)
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

pid_t startGame(const char* binary, const char* folder) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(folder) != 0)
            _exit(127);
        std::freopen("/dev/null", "w", stderr);
        execl(binary, binary, static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

bool cornerIsDrawn(Display* display) {
    XImage* pixel = XGetImage(display, DefaultRootWindow(display), 2, 2, 1, 1, AllPlanes, ZPixmap);
    if (!pixel)
        return false;
    const unsigned long value = XGetPixel(pixel, 0, 0);
    XDestroyImage(pixel);
    return (value & 0xffffff) != 0xffffff;
}

long peakResidentKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

void stop(pid_t pid) {
    kill(pid, SIGTERM);
    for (int i = 0; i < 100 && waitpid(pid, nullptr, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: startup_probe GAME_BINARY DATA_FOLDER [RUNS]\n";
        return 2;
    }
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 11;
    // The game starts in its data folder, so its path must not be relative to here.
    char* binary = realpath(argv[1], nullptr);
    if (!binary) {
        std::cerr << "startup_probe: no game at " << argv[1] << "\n";
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::cerr << "startup_probe: no X display\n";
        return 2;
    }
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        // Clear the corner first, so an earlier run's picture is not taken for this one's.
        XSetWindowBackground(display, DefaultRootWindow(display), WhitePixel(display, 0));
        XClearWindow(display, DefaultRootWindow(display));
        XSync(display, False);
        const auto start = Clock::now();
        const pid_t game = startGame(binary, argv[2]);
        bool seen = false;
        while (!seen && Clock::now() - start < std::chrono::seconds(10))
            seen = cornerIsDrawn(display);
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        stop(game);
        if (!seen) {
            std::cerr << "startup_probe: run " << run << " never showed the title\n";
            return 1;
        }
        times.push_back(ms);
    }
    std::sort(times.begin(), times.end());
    std::printf("start to first title frame: median %.1f ms, min %.1f ms, max %.1f ms (%d runs)\n",
                times[times.size() / 2], times.front(), times.back(), runs);

    // A spell of play: skip the title, start the game from the menu, drive about for a while.
    const pid_t game = startGame(binary, argv[2]);
    std::this_thread::sleep_for(std::chrono::seconds(2));
    std::system("xdotool key space >/dev/null 2>&1; sleep 2; "
                "xdotool mousemove 640 350 click 1 >/dev/null 2>&1; sleep 1; "
                "for i in 1 2 3 4 5; do xdotool keydown Right; sleep 1; xdotool keyup Right; "
                "xdotool key Up; xdotool keydown Left; sleep 1; xdotool keyup Left; done");
    std::printf("peak resident memory while playing: %.1f MB\n", peakResidentKiB(game) / 1024.0);
    stop(game);
    XCloseDisplay(display);
    std::free(binary);
    return 0;
}
