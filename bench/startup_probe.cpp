// Start-up time and peak memory of the game against a bare window (bare_window showing the title
// picture at its own size in the middle of the window, as the game does), each measured the same
// way:
// - start-up: the screen's corner is painted white, the program is started, and the time until
//   the corner shows its first frame is taken. The game and the bare window take turns (in the
//   order ABBA, so a drift of the machine's load weighs on both alike), and the medians and their
//   ratio are printed.
// - memory: the peak resident size (VmHWM) of the bare window after a few seconds, and of the
//   game after a spell of play (title skipped, Play pressed, driving about).
// Usage: startup_probe GAME_BINARY BARE_WINDOW DATA_FOLDER [RUNS]   (needs an X display and
// xdotool; DATA_FOLDER must hold a registered player, so that the menu's Play button is shown)
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "ChildProcess.hpp"

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

// Milliseconds from starting the program to its first frame on the screen; negative if none came.
double timeToFirstFrame(Display* display, const std::string& binary,
                        const std::vector<std::string>& arguments, const char* folder) {
    // Clear the corner first, so an earlier run's picture is not taken for this one's.
    XSetWindowBackground(display, DefaultRootWindow(display), WhitePixel(display, 0));
    XClearWindow(display, DefaultRootWindow(display));
    XSync(display, False);
    const auto begin = Clock::now();
    const pid_t pid = startProgram(binary, arguments, folder);
    bool seen = false;
    // A short rest between looks leaves the machine's cores to the program being measured.
    while (!seen && Clock::now() - begin < std::chrono::seconds(10)) {
        seen = cornerIsDrawn(display);
        if (!seen)
            std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
    stopProgram(pid);
    return seen ? ms : -1.0;
}

struct Summary {
    double median, min, max;
};

Summary summarize(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    const std::size_t n = times.size();
    const double median = n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2.0;
    return {median, times.front(), times.back()};
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: startup_probe GAME_BINARY BARE_WINDOW DATA_FOLDER [RUNS]\n";
        return 2;
    }
    const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 11;
    // Both start in the data folder, so their paths must not be relative to here.
    char* game = realpath(argv[1], nullptr);
    char* bare = realpath(argv[2], nullptr);
    if (!game || !bare) {
        std::cerr << "startup_probe: no program at " << (game ? argv[2] : argv[1]) << "\n";
        return 2;
    }
    const char* folder = argv[3];
    const std::vector<std::string> picture = {"--own-size", "Images/TitleScreen.png"};
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::cerr << "startup_probe: no X display\n";
        return 2;
    }

    std::vector<double> gameTimes, bareTimes;
    for (int run = 0; run < runs; ++run) {
        for (int turn = 0; turn < 2; ++turn) {
            const bool gameTurn = (turn == 0) == (run % 2 == 0);
            const double ms = gameTurn ? timeToFirstFrame(display, game, {}, folder)
                                       : timeToFirstFrame(display, bare, picture, folder);
            if (ms < 0.0) {
                std::cerr << "startup_probe: run " << run << " of the "
                          << (gameTurn ? "game" : "bare window") << " never showed a frame\n";
                return 1;
            }
            (gameTurn ? gameTimes : bareTimes).push_back(ms);
        }
    }
    const Summary g = summarize(gameTimes);
    const Summary b = summarize(bareTimes);
    std::printf("start to first frame, %d alternating runs each:\n", runs);
    std::printf("  bare window: median %.1f ms (min %.1f, max %.1f)\n", b.median, b.min, b.max);
    std::printf("  game:        median %.1f ms (min %.1f, max %.1f)\n", g.median, g.min, g.max);
    std::printf("  ratio of medians: %.2f\n", g.median / b.median);

    const pid_t bareWindow = startProgram(bare, picture, folder);
    std::this_thread::sleep_for(std::chrono::seconds(4));
    const long bareKiB = peakResidentKiB(bareWindow);
    stopProgram(bareWindow);

    // A spell of play: skip the title, start the game from the menu, drive about for a while.
    const pid_t played = startProgram(game, {}, folder);
    std::this_thread::sleep_for(std::chrono::seconds(2));
    std::system("xdotool key space >/dev/null 2>&1; sleep 2; "
                "xdotool mousemove 640 350 click 1 >/dev/null 2>&1; sleep 1; "
                "for i in 1 2 3 4 5; do xdotool keydown Right; sleep 1; xdotool keyup Right; "
                "xdotool key Up; xdotool keydown Left; sleep 1; xdotool keyup Left; done");
    const long gameKiB = peakResidentKiB(played);
    stopProgram(played);
    std::printf("peak resident memory: bare window %.1f MB, game after a spell of play %.1f MB, "
                "%.1f MB above the bare window\n",
                bareKiB / 1024.0, gameKiB / 1024.0, (gameKiB - bareKiB) / 1024.0);

    XCloseDisplay(display);
    std::free(game);
    std::free(bare);
    return 0;
}
