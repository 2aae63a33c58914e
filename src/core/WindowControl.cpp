#include "core/WindowControl.hpp"

#include "screens/VolumeControl.hpp"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include <algorithm>
#include <cstdint>
#include <locale>
#include <string>

// After the libraries above: Xlib's macros (None, Bool, ...) would clash with their names.
#include <GL/glx.h>

namespace {

const unsigned FramesASecond = 60;

// Whether the display can hold buffer swaps to its refresh: the graphics library switches vertical
// sync on through one of these GLX extensions, and without them (Xvfb, many remote displays) it
// only says so once, on its error stream. Asked on the display of the window's own context, whose
// GLX is already set up (a display of our own would cost a tenth of a second to set up); without
// one, there is taken to be none.
bool displayHasVerticalSync(sf::Window& window) {
    if (!window.setActive(true))
        return false;
    Display* const display = glXGetCurrentDisplay();
    const char* const listed =
        display ? glXQueryExtensionsString(display, DefaultScreen(display)) : nullptr;
    const std::string extensions = " " + std::string(listed ? listed : "") + " ";
    for (const char* swapControl :
         {"GLX_EXT_swap_control", "GLX_MESA_swap_control", "GLX_SGI_swap_control"})
        if (extensions.find(" " + std::string(swapControl) + " ") != std::string::npos)
            return true;
    return false;
}

} // namespace

WindowControl::WindowControl(sf::RenderWindow& window, VolumeControl& settings,
                             const sf::Image& icon)
    : window(window), settings(settings), icon(icon) {}

void WindowControl::open(bool windowedForThisRun, bool fixedSteps, sf::Vector2u windowShape) {
    fixedStep = fixedSteps;
    shape = windowShape;
    fullscreen = settings.getSettings().fullscreen && !windowedForThisRun;
    create();
}

bool WindowControl::hasVerticalSync() const {
    return settings.getSettings().vsync;
}

void WindowControl::setFullscreen(bool flag) {
    Settings next = settings.getSettings();
    next.fullscreen = flag;
    settings.change(next);
    switchAsked = flag != fullscreen;
}

void WindowControl::setVerticalSync(bool flag) {
    Settings next = settings.getSettings();
    next.vsync = flag;
    settings.change(next);
    pace();
}

bool WindowControl::applyChange() {
    if (!switchAsked)
        return false;
    switchAsked = false;
    fullscreen = !fullscreen;
    create();
    return true;
}

sf::VideoMode WindowControl::windowedMode(const sf::VideoMode& desktop, sf::Vector2u shape) {
    const auto scaled = [](unsigned length, unsigned to, unsigned from) {
        return static_cast<unsigned>(static_cast<std::uint64_t>(length) * to / from);
    };
    const unsigned width =
        std::min({shape.x, desktop.width, scaled(desktop.height, shape.x, shape.y)});
    return sf::VideoMode(width, scaled(width, shape.y, shape.x), desktop.bitsPerPixel);
}

void WindowControl::create() {
    const sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
    const sf::VideoMode mode = fullscreen ? desktop : windowedMode(desktop, shape);
    window.create(mode, sf::String("Gravelmoth", std::locale()),
                  fullscreen ? sf::Style::Fullscreen : sf::Style::Titlebar | sf::Style::Close,
                  sf::ContextSettings(0, 0, 0, 2, 0));
    if (!fullscreen)
        window.setPosition(sf::Vector2i(static_cast<int>(desktop.width - mode.width) / 2,
                                        static_cast<int>(desktop.height - mode.height) / 2));
    // Without a usable 32x32 picture the window keeps the desktop's default icon.
    if (icon.getSize() == sf::Vector2u(32, 32))
        window.setIcon(32, 32, icon.getPixelsPtr());
    pace();
    window.requestFocus();
}

unsigned WindowControl::frameLimit(bool syncWanted, bool syncAvailable, bool fixedStep) {
    return fixedStep || (syncWanted && syncAvailable) ? 0 : FramesASecond;
}

// With fixed steps the game paces its own drawing, and an update must never wait for the screen's
// refresh.
void WindowControl::pace() {
    const bool sync = hasVerticalSync() && !fixedStep;
    window.setVerticalSyncEnabled(sync);
    window.setFramerateLimit(frameLimit(sync, displayHasVerticalSync(window), fixedStep));
}
