#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Transform.hpp>
#include <SFML/System/Vector2.hpp>

namespace sf {
class Text;
}

// The screens around play (title, loading screen, menu and its pages) are laid out in a
// 1280 x 720 area, in layout units, and drawn scaled uniformly to the window: the largest scale at
// which the area fits, centred, so every window shows the same screen. What the area leaves free
// (beside it on a tall window, above and below it on a wide one) shows the backdrop.
//
// Text is rasterised at the size it is shown, so it stays crisp at every scale: its character
// size is multiplied by the scale and the text scaled back by its inverse.
class ScreenLayout {
public:
    static constexpr float Width = 1280.f;
    static constexpr float Height = 720.f;

    explicit ScreenLayout(sf::Vector2u windowSize);

    // Window pixels per layout unit.
    float getScale() const { return scale; }
    // From layout units to window pixels.
    const sf::Transform& getTransform() const { return transform; }
    // The window pixels the 1280 x 720 area covers.
    sf::FloatRect getArea() const;
    // Whether the area covers the whole window (a 16:9 window), so nothing is left for a backdrop.
    bool fillsWindow() const;
    sf::Vector2u getWindowSize() const { return window; }

    // Sets the text's character size to show at characterSize layout units, sharp.
    void setCharacterSize(sf::Text& text, unsigned characterSize) const;
    // The character size that shows at characterSize layout units, for a text drawn through the
    // layout and scaled back by 1 / getScale().
    unsigned pixelSize(unsigned characterSize) const;

private:
    sf::Vector2u window;
    float scale;
    sf::Vector2f offset;
    sf::Transform transform;
};
