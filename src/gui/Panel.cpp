#include "gui/Panel.hpp"

#include <SFML/Graphics/RenderTarget.hpp>

namespace GUI {

Panel::Panel(sf::Vector2f size, sf::Color fill, sf::Color outline, float outlineThickness)
    : shape(size) {
    shape.setFillColor(fill);
    shape.setOutlineColor(outline);
    shape.setOutlineThickness(outlineThickness);
}

void Panel::draw(sf::RenderTarget& target, sf::RenderStates states) const {
    states.transform *= getTransform();
    target.draw(shape, states);
}

} // namespace GUI
