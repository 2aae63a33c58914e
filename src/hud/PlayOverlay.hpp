#pragma once

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/System/Time.hpp>

#include <string>

namespace sf {
class Font;
class RenderTarget;
} // namespace sf
struct Bindings;

// What the game screen shows over play: the level's number for two seconds of play when a level
// starts, and while the game is paused the picture dimmed under "Paused", how to go on and the
// keys as the player bound them. It is laid out in window pixels, in proportion to the window's
// height, so it is sharp at every size; it stays over the play area, above the HUD banner.
class PlayOverlay {
public:
    static const sf::Time LevelShownFor;

    // The fonts must outlive the overlay.
    PlayOverlay(sf::Vector2u windowSize, const sf::Font& titleFont, const sf::Font& textFont,
                const Bindings& controls);

    // For a window of a new size.
    void layOut(sf::Vector2u windowSize);
    void showLevel(int level);
    // The level's running time in the top left corner of play, "Replay" before it in a replay,
    // from now on.
    void showTime(sf::Time time, bool replay);
    // Play time: while the game is paused it is not called, and the level's number stays.
    void update(sf::Time dt);
    // Into the window's default view, after the world.
    void draw(sf::RenderTarget& target, bool paused) const;

    // A level's time as a clock shows it: "0:07.3", "12:45.0" (tenths cut, not rounded).
    static std::string clock(sf::Time time);

private:
    sf::Time levelShownLeft;
    sf::Vector2f playCentre;
    sf::RectangleShape dimmer;
    sf::Text levelText;
    sf::Text pausedText;
    sf::Text hintText;
    sf::Text keysText;
    sf::Text timeText;
    bool timeShown = false;
};
