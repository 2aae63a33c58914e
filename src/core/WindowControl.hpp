#pragma once

#include <SFML/System/Vector2.hpp>
#include <SFML/Window/VideoMode.hpp>

namespace sf {
class Image;
class RenderWindow;
} // namespace sf
class VolumeControl;

// How the game's window is shown: fullscreen on the desktop, or a 1280 x 720 window (smaller to fit
// the desktop); with vertical sync, or at most 60 frames a second, also where vertical sync is
// asked for but the display cannot provide it (virtual displays such as Xvfb, many remote ones),
// so that a still screen costs little. The player's choice is kept in
// the settings and holds from the next start; --windowed opens a window for one run whatever they
// say. Switching between fullscreen and a window makes a new window in the same RenderWindow
// object, so whoever holds it keeps a valid window, and the textures survive (their context is
// shared); the screens are told the new size with a Resized event.
class WindowControl {
public:
    // The window, the settings and the icon must outlive the control.
    WindowControl(sf::RenderWindow& window, VolumeControl& settings, const sf::Image& icon);

    // Opens the window as the settings say, or in a window when asked for this run, of the given
    // shape. With fixed steps the game paces its own drawing: no vertical sync and no limit.
    void open(bool windowedForThisRun, bool fixedStep, sf::Vector2u windowShape = {1280, 720});

    // As asked, even before the window has changed.
    bool isFullscreen() const { return fullscreen != switchAsked; }
    bool hasVerticalSync() const;
    // Kept in the settings; the window changes at the next applyChange, between two frames.
    void setFullscreen(bool flag);
    // Kept in the settings, and applied at once.
    void setVerticalSync(bool flag);
    // Makes the window anew when fullscreen was switched; true when it did.
    bool applyChange();

    // The window size of a windowed game: 1280 x 720, or the largest 16:9 size the desktop holds;
    // for another shape, that size or the largest of that shape the desktop holds.
    static sf::VideoMode windowedMode(const sf::VideoMode& desktop,
                                      sf::Vector2u shape = {1280, 720});
    // The frames a second the loop is held to, 0 for no limit: none with fixed steps, which pace
    // themselves, nor where vertical sync is on and the display provides it; 60 otherwise.
    static unsigned frameLimit(bool syncWanted, bool syncAvailable, bool fixedStep);

private:
    void create();
    void pace();

    sf::RenderWindow& window;
    VolumeControl& settings;
    const sf::Image& icon;
    bool fullscreen = true;
    bool switchAsked = false;
    bool fixedStep = false;
    sf::Vector2u shape;
};
