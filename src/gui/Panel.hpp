#pragma once

#include "gui/Decoration.hpp"

#include <SFML/Graphics/RectangleShape.hpp>

namespace GUI {

// A plain rectangle on a page, behind what is drawn after it: a card for words to be read on, a
// frame round a picture.
class Panel : public Decoration {
public:
    // The rectangle's top-left corner is at the panel's position.
    Panel(sf::Vector2f size, sf::Color fill, sf::Color outline = sf::Color::Transparent,
          float outlineThickness = 0.f);

private:
    void draw(sf::RenderTarget& target, sf::RenderStates states) const override;

    sf::RectangleShape shape;
};

} // namespace GUI
