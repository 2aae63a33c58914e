#pragma once

#include "gui/Decoration.hpp"

#include <SFML/Graphics/Sprite.hpp>

namespace sf {
class Texture;
}

namespace GUI {

// A picture on a page, or a part of a picture. The texture is kept by whoever made the picture,
// as long as the page is shown.
class Picture : public Decoration {
public:
    // The part of the texture shown, at the size it is shown at in the page's coordinates,
    // centred on the picture's position.
    Picture(const sf::Texture& texture, const sf::IntRect& part, sf::Vector2f size);

    void setColor(sf::Color colour);
    // Shows the part mirrored left to right, as the game draws a tank that faces left.
    void setMirrored(bool flag);

    // Where the picture is drawn, in the page's coordinates.
    sf::FloatRect getPictureBounds() const;

private:
    void draw(sf::RenderTarget& target, sf::RenderStates states) const override;

    sf::Sprite sprite;
    sf::Vector2f size;
};

} // namespace GUI
