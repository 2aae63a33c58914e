// Processor time of a still menu against a bare SFML program that draws one full-window picture
// 60 times a second (bare_window with the title picture and a rate of 60), the two running side
// by side on the same display for the same ten seconds, so the machine's load weighs on both
// alike. The game is started in a data folder with a registered player, its title skipped with a
// key, and measured once its menu stands still. Several rounds; the ratio of the totals is
// printed against the goal of 1.3.
// Usage: menu_cpu_probe GAME_BINARY BARE_WINDOW DATA_FOLDER [ROUNDS]   (needs an X display
// without vertical sync, such as Xvfb, and xdotool)
#include "ChildProcess.hpp"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

const int MeasuredSeconds = 10;

// User and system time the process has used so far, all its threads, in seconds.
double processorSeconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    // The fields after the command's name, which is in parentheses and may hold spaces.
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    const std::vector<std::string> values{std::istream_iterator<std::string>(fields), {}};
    if (values.size() < 13)
        return -1.0;
    const double ticks = std::stod(values[11]) + std::stod(values[12]);
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: menu_cpu_probe GAME_BINARY BARE_WINDOW DATA_FOLDER [ROUNDS]\n";
        return 2;
    }
    const int rounds = argc > 4 ? std::max(1, std::atoi(argv[4])) : 3;
    char* game = realpath(argv[1], nullptr);
    char* bare = realpath(argv[2], nullptr);
    if (!game || !bare) {
        std::cerr << "menu_cpu_probe: no program at " << (game ? argv[2] : argv[1]) << "\n";
        return 2;
    }
    const char* folder = argv[3];

    double gameTotal = 0.0, bareTotal = 0.0;
    for (int round = 1; round <= rounds; ++round) {
        const pid_t menu = startProgram(game, {}, folder);
        // The title gives way to a key; the loading screen to the menu, soon after.
        std::this_thread::sleep_for(std::chrono::seconds(2));
        std::system("xdotool search --name Gravelmoth windowfocus --sync key shift "
                    "mousemove 1 1 >/dev/null 2>&1");
        std::this_thread::sleep_for(std::chrono::seconds(3));
        const pid_t picture = startProgram(bare, {"Images/TitleScreen.png", "60"}, folder);
        std::this_thread::sleep_for(std::chrono::seconds(2));

        const double gameBefore = processorSeconds(menu);
        const double bareBefore = processorSeconds(picture);
        std::this_thread::sleep_for(std::chrono::seconds(MeasuredSeconds));
        const double gameUsed = processorSeconds(menu) - gameBefore;
        const double bareUsed = processorSeconds(picture) - bareBefore;
        stopProgram(picture);
        stopProgram(menu);
        if (gameBefore < 0.0 || bareBefore < 0.0) {
            std::cerr << "menu_cpu_probe: a program ended before it was measured\n";
            return 1;
        }
        std::printf("round %d: menu %.2f s, bare window %.2f s of processor time in %d s "
                    "(ratio %.2f)\n",
                    round, gameUsed, bareUsed, MeasuredSeconds, gameUsed / bareUsed);
        gameTotal += gameUsed;
        bareTotal += bareUsed;
    }
    const double ratio = gameTotal / bareTotal;
    std::printf("all rounds: menu %.2f s, bare window %.2f s, ratio %.2f (goal: at most 1.3, %s)\n",
                gameTotal, bareTotal, ratio, ratio <= 1.3 ? "met" : "not met");
    std::free(game);
    std::free(bare);
    return ratio <= 1.3 ? 0 : 1;
}
