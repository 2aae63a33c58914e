#pragma once

#include <SFML/Graphics/Drawable.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Transform.hpp>

namespace sf {
class Texture;
}
class ScreenLayout;

// A picture made for the whole screen, behind a screen laid out in 1280 x 720: it fills the
// layout's area exactly as on a 1280 x 720 window, and where the window leaves room around the area
// it is shown once more behind, dimmed and scaled to cover the whole window, so the edges of the
// area stay clear. The picture is kept by whoever loaded it, as long as the backdrop is drawn.
class Backdrop : public sf::Drawable {
public:
    Backdrop() = default;
    // A picture without pixels (one that could not be loaded) shows nothing.
    Backdrop(sf::Texture& picture, const ScreenLayout& layout);

    bool hasSurround() const { return withSurround; }
    // Whether drawing it paints every pixel of the window, so the window need not be cleared
    // first (a cleared window costs one more pass over every pixel).
    bool coversWindow() const { return covers; }

private:
    void draw(sf::RenderTarget& target, sf::RenderStates states) const override;

    sf::Sprite surround;
    sf::Sprite picture;
    sf::Transform layoutTransform;
    bool withSurround = false;
    bool shown = false;
    bool opaque = false;
    bool covers = false;
};
