#include "screens/ScreenLayout.hpp"

#include <SFML/Graphics/Text.hpp>

#include <algorithm>
#include <cmath>

ScreenLayout::ScreenLayout(sf::Vector2u windowSize) : window(windowSize) {
    const sf::Vector2f size(static_cast<float>(windowSize.x), static_cast<float>(windowSize.y));
    scale = std::min(size.x / Width, size.y / Height);
    // A window of no size still gets a usable transform.
    if (!(scale > 0.f))
        scale = 1.f;
    // On whole pixels, so a picture drawn one texel a pixel stays sharp.
    offset = sf::Vector2f(std::floor((size.x - Width * scale) / 2.f),
                          std::floor((size.y - Height * scale) / 2.f));
    transform.translate(offset).scale(scale, scale);
}

sf::FloatRect ScreenLayout::getArea() const {
    return sf::FloatRect(offset.x, offset.y, Width * scale, Height * scale);
}

bool ScreenLayout::fillsWindow() const {
    const sf::FloatRect area = getArea();
    return area.left <= 0.f && area.top <= 0.f &&
           area.left + area.width >= static_cast<float>(window.x) - 0.5f &&
           area.top + area.height >= static_cast<float>(window.y) - 0.5f;
}

unsigned ScreenLayout::pixelSize(unsigned characterSize) const {
    return std::max(1u, static_cast<unsigned>(std::lround(characterSize * scale)));
}

void ScreenLayout::setCharacterSize(sf::Text& text, unsigned characterSize) const {
    text.setCharacterSize(pixelSize(characterSize));
    // One texel of a glyph a pixel of the window: the glyphs are drawn as rasterised.
    text.setScale(1.f / scale, 1.f / scale);
}
