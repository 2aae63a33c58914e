#include "gui/Panel.hpp"

#include <SFML/Graphics/RenderTarget.hpp>

namespace GUI {

Panel::Panel(sf::Vector2f size, sf::Color fill, sf::Color outline, float outlineThickness)
    : shape(size) {
    shape.setFillColor(fill);
    shape.setOutlineColor(outline);
    shape.setOutlineThickness(outlineThickness);
}

void Panel::setSize(sf::Vector2f size) {
    shape.setSize(size);
}

void Panel::draw(sf::RenderTarget& target, sf::RenderStates states) const {
    if (shape.getSize().x <= 0.f || shape.getSize().y <= 0.f)
        return;
    states.transform *= getTransform();
    target.draw(shape, states);
}

} // namespace GUI
