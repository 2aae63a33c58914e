#include "gui/Picture.hpp"

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Texture.hpp>

namespace GUI {

Picture::Picture(const sf::Texture& texture, const sf::IntRect& part, sf::Vector2f size)
    : sprite(texture, part), size(size) {
    sprite.setOrigin(static_cast<float>(part.width) / 2.f, static_cast<float>(part.height) / 2.f);
    setMirrored(false);
}

void Picture::setColor(sf::Color colour) {
    sprite.setColor(colour);
}

void Picture::setMirrored(bool flag) {
    const sf::IntRect part = sprite.getTextureRect();
    const float x = part.width > 0 ? size.x / static_cast<float>(part.width) : 0.f;
    const float y = part.height > 0 ? size.y / static_cast<float>(part.height) : 0.f;
    sprite.setScale(flag ? -x : x, y);
}

sf::FloatRect Picture::getPictureBounds() const {
    return getTransform().transformRect(sprite.getGlobalBounds());
}

void Picture::draw(sf::RenderTarget& target, sf::RenderStates states) const {
    states.transform *= getTransform();
    target.draw(sprite, states);
}

} // namespace GUI
