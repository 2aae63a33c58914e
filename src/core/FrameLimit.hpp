#pragma once

#include <SFML/System/Time.hpp>

#include <functional>

namespace sf {
class Window;
}

// Keeps a still screen cheap: where nothing else paces the frame loop, frames are drawn at most 60
// times a second. Vertical sync paces it where the display provides it; when it is switched off,
// or the display cannot provide it (virtual displays such as Xvfb, many remote ones), the limit
// does. The clock and the wait are handed in, so the pacing can be followed without waiting.
class FrameLimit {
public:
    static const sf::Time Period;
    using Clock = std::function<sf::Time()>;
    using Sleep = std::function<void(sf::Time)>;

    // The real clock and sleep.
    FrameLimit();
    FrameLimit(Clock now, Sleep sleep);

    // Switches the window's vertical sync on or off as wanted, and limits the frames unless it is
    // on and available. The graphics library says so when it cannot switch it on.
    void setVerticalSync(sf::Window& window, bool wanted);
    // The same for a window whose vertical sync is already known.
    void setVerticalSync(bool wanted, bool available);
    bool isLimiting() const { return limiting; }

    // Once a frame, after it is shown: when limiting, waits until 1/60 s after the frame before
    // this one was let through; a frame that took longer goes on at once.
    void waitForNextFrame();

private:
    Clock now;
    Sleep sleep;
    bool limiting = true;
    sf::Time next;
};
