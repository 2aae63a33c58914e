// Key to screen: how long a key press takes to show, in the game and in a bare SFML program
// (key_square) read the same way. The probe works out where the tank stands on level 1 once it
// has landed (by playing the level's first seconds itself, without a key), starts the game, skips
// its title, presses Play and waits for the tank; key_square draws its square on that same spot.
// Then, for each press: it waits until the spot stands still, presses Right or Left through XTest
// (the two in turn, so the tank stays about where it was) and times the first changed pixel of the
// spot, then lets the key go. The game and the bare program take turns in rounds (ABBA), at the
// library's limit of 60 frames a second and without it (no_frame_limit preloaded into the game),
// and the medians are printed.
// Usage: key_to_screen_probe GAME_BINARY KEY_SQUARE DATA_FOLDER [PRESSES]   (needs an X display of
// 1280 x 720 or more without vertical sync, such as Xvfb; DATA_FOLDER must hold a registered
// player, so that the menu's Play button is shown)
#include "ChildProcess.hpp"

#include "core/CommandQueue.hpp"
#include "world/World.hpp"

#include "actors/Player.hpp"
#include "actors/Tank.hpp"

#include <SFML/Graphics/RenderTexture.hpp>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
const int PressesPerTurn = 5;
// Room on both sides of the tank for the first pixels it moves.
const int Margin = 8;

struct Spot {
    int x, y, width, height;
};

// Where the tank stands on the screen once it has landed on level 1, in a window of this size,
// with room on both sides for the first pixels it moves.
std::optional<Spot> tankSpot(sf::Vector2u size) {
    sf::RenderTexture target;
    if (!target.create(size.x, size.y))
        return std::nullopt;
    World world(target);
    for (int i = 0; i < 60 * 8; ++i)
        world.update(sf::seconds(1.f / 60.f));
    while (!commandQueue().isEmpty())
        commandQueue().pop();
    const Tank* tank = world.getPlayer() ? world.getPlayer()->getTank() : nullptr;
    if (!tank)
        return std::nullopt;
    std::vector<sf::FloatRect> rects;
    tank->getBoundingRect(rects);
    sf::FloatRect all = rects.front();
    for (const sf::FloatRect& r : rects) {
        const float right = std::max(all.left + all.width, r.left + r.width);
        const float bottom = std::max(all.top + all.height, r.top + r.height);
        all.left = std::min(all.left, r.left);
        all.top = std::min(all.top, r.top);
        all.width = right - all.left;
        all.height = bottom - all.top;
    }
    const sf::View& view = world.getCamera().getView();
    const sf::Vector2i topLeft = target.mapCoordsToPixel({all.left, all.top}, view);
    const sf::Vector2i bottomRight =
        target.mapCoordsToPixel({all.left + all.width, all.top + all.height}, view);
    // Kept on the screen: the tank may stand at its edge.
    const int left = std::max(0, topLeft.x - Margin);
    const int right = std::min(static_cast<int>(size.x), bottomRight.x + Margin);
    const int top = std::max(0, topLeft.y);
    const int bottom = std::min(static_cast<int>(size.y), bottomRight.y);
    if (right <= left || bottom <= top)
        return std::nullopt;
    return Spot{left, top, right - left, bottom - top};
}

std::vector<char> grab(Display* display, const Spot& spot) {
    XImage* image = XGetImage(display, DefaultRootWindow(display), spot.x, spot.y,
                              static_cast<unsigned>(spot.width), static_cast<unsigned>(spot.height),
                              AllPlanes, ZPixmap);
    if (!image)
        return {};
    std::vector<char> pixels(image->data,
                             image->data + static_cast<std::size_t>(image->bytes_per_line) *
                                               static_cast<std::size_t>(image->height));
    XDestroyImage(image);
    return pixels;
}

// Waits until two looks 50 ms apart see the same spot; false if it never stands still.
bool waitStill(Display* display, const Spot& spot) {
    std::vector<char> before = grab(display, spot);
    for (int i = 0; i < 60; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::vector<char> now = grab(display, spot);
        if (!now.empty() && now == before)
            return true;
        before = std::move(now);
    }
    return false;
}

// Milliseconds from pressing the key to the first change of the spot; negative if none came.
double pressAndTime(Display* display, const Spot& spot, KeySym key) {
    if (!waitStill(display, spot))
        return -1.0;
    const std::vector<char> still = grab(display, spot);
    const KeyCode code = XKeysymToKeycode(display, key);
    const auto begin = Clock::now();
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XFlush(display);
    double ms = -1.0;
    while (Clock::now() - begin < std::chrono::seconds(1)) {
        if (grab(display, spot) != still) {
            ms = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
            break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XFlush(display);
    return ms;
}

void presses(Display* display, const Spot& spot, int count, std::vector<double>& times,
             int& missed) {
    for (int i = 0; i < count; ++i) {
        const double ms = pressAndTime(display, spot, i % 2 == 0 ? XK_Right : XK_Left);
        if (ms < 0.0)
            ++missed;
        else
            times.push_back(ms);
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
    }
}

double median(std::vector<double> times) {
    if (times.empty())
        return 0.0;
    std::sort(times.begin(), times.end());
    const std::size_t n = times.size();
    return n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2.0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: key_to_screen_probe GAME_BINARY KEY_SQUARE DATA_FOLDER [PRESSES]\n";
        return 2;
    }
    const int wanted = argc > 4 ? std::max(PressesPerTurn, std::atoi(argv[4])) : 30;
    char* game = realpath(argv[1], nullptr);
    char* bare = realpath(argv[2], nullptr);
    if (!game || !bare) {
        std::cerr << "key_to_screen_probe: no program at " << (game ? argv[2] : argv[1]) << "\n";
        return 2;
    }
    const char* folder = argv[3];
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::cerr << "key_to_screen_probe: no X display\n";
        return 2;
    }
    std::filesystem::current_path(folder);
    const sf::Vector2u screen(static_cast<unsigned>(DisplayWidth(display, 0)),
                              static_cast<unsigned>(DisplayHeight(display, 0)));
    const std::optional<Spot> spot = tankSpot(screen);
    if (!spot) {
        std::cerr << "key_to_screen_probe: level 1 has no tank to look at\n";
        return 1;
    }
    std::printf("the spot looked at: %d,%d, %d x %d, on a %u x %u screen\n", spot->x, spot->y,
                spot->width, spot->height, screen.x, screen.y);
    // The square stands in the spot as the tank does, with the same room on both sides.
    const int squareLeft = spot->x == 0 ? 0 : spot->x + Margin;
    const std::vector<std::string> square = {
        std::to_string(squareLeft), std::to_string(spot->y),
        std::to_string(spot->width - Margin - (squareLeft - spot->x)),
        std::to_string(spot->height)};

    for (const bool limited : {true, false}) {
        std::vector<double> gameTimes, bareTimes;
        int gameMissed = 0, bareMissed = 0;
        if (!limited)
            setenv("LD_PRELOAD", NO_FRAME_LIMIT_LIBRARY, 1);
        for (int turn = 0; static_cast<int>(gameTimes.size()) + gameMissed < wanted; ++turn) {
            for (int half = 0; half < 2; ++half) {
                if ((half == 0) == (turn % 2 == 0)) {
                    const pid_t played = startProgram(game, {}, folder);
                    std::this_thread::sleep_for(std::chrono::seconds(2));
                    std::system("xdotool key space >/dev/null 2>&1; sleep 2; "
                                "xdotool mousemove 640 350 click 1 >/dev/null 2>&1; "
                                "xdotool mousemove 1 1 >/dev/null 2>&1");
                    std::this_thread::sleep_for(std::chrono::seconds(9));
                    presses(display, *spot, PressesPerTurn, gameTimes, gameMissed);
                    stopProgram(played);
                } else {
                    std::vector<std::string> arguments = square;
                    arguments.push_back(limited ? "60" : "0");
                    const pid_t drawn = startProgram(bare, arguments, folder);
                    std::this_thread::sleep_for(std::chrono::seconds(2));
                    presses(display, *spot, PressesPerTurn, bareTimes, bareMissed);
                    stopProgram(drawn);
                }
            }
        }
        unsetenv("LD_PRELOAD");
        const double g = median(gameTimes), b = median(bareTimes);
        std::printf("%s: key to screen, median of %zu presses: bare square %.1f ms, game %.1f ms "
                    "(game %+.1f ms; %d and %d presses showed nothing within a second)\n",
                    limited ? "at 60 frames a second" : "without a frame limit", gameTimes.size(),
                    b, g, g - b, bareMissed, gameMissed);
    }
    XCloseDisplay(display);
    std::free(game);
    std::free(bare);
    return 0;
}
