#include "gui/Label.hpp"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderTarget.hpp>

#include <algorithm>
#include <cmath>

namespace GUI {

Label::Label(const std::string& content, const sf::Font& font, unsigned characterSize,
             float pixelsPerUnit)
    : size(characterSize) {
    text.setFont(font);
    setPixelsPerUnit(pixelsPerUnit);
    setText(content);
}

void Label::setPixelsPerUnit(float pixels) {
    text.setCharacterSize(std::max(1u, static_cast<unsigned>(std::lround(size * pixels))));
    text.setScale(1.f / pixels, 1.f / pixels);
    align();
}

void Label::setText(const std::string& content) {
    text.setString(sf::String::fromUtf8(content.begin(), content.end()));
    align();
}

void Label::setAlignment(Alignment newAlignment) {
    alignment = newAlignment;
    align();
}

void Label::setColor(sf::Color colour) {
    text.setFillColor(colour);
}

// Centred on the glyphs themselves, left-aligned on the pen's start, so lines of a column line up.
void Label::align() {
    const sf::FloatRect bounds = text.getLocalBounds();
    text.setOrigin(alignment == Centre ? bounds.left + bounds.width / 2.f : 0.f,
                   bounds.top + bounds.height / 2.f);
}

sf::FloatRect Label::getTextBounds() const {
    return getTransform().transformRect(text.getGlobalBounds());
}

void Label::draw(sf::RenderTarget& target, sf::RenderStates states) const {
    states.transform *= getTransform();
    target.draw(text, states);
}

} // namespace GUI
