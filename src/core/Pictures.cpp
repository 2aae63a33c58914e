#include "core/Pictures.hpp"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <cstdint>

void Pictures::keepAtDrawnSize(sf::Texture& picture, sf::Vector2u drawnSize) {
    const sf::Vector2u size = picture.getSize();
    if (size == drawnSize) {
        picture.setSmooth(false);
        return;
    }
    const auto pixels = [](sf::Vector2u s) { return std::uint64_t{s.x} * s.y; };
    if (drawnSize.x == 0 || drawnSize.y == 0 || pixels(drawnSize) >= pixels(size))
        return;
    sf::RenderTexture canvas;
    if (!canvas.create(drawnSize.x, drawnSize.y))
        return;
    sf::Sprite stretched(picture);
    stretched.setScale(static_cast<float>(drawnSize.x) / static_cast<float>(size.x),
                       static_cast<float>(drawnSize.y) / static_cast<float>(size.y));
    // Copied as sampled, transparency included: blending with the empty canvas would darken
    // what is not opaque.
    canvas.clear(sf::Color::Transparent);
    canvas.draw(stretched, sf::BlendNone);
    canvas.display();
    sf::Texture kept(canvas.getTexture());
    // Software rendering holds on to the last picture it drew from until it draws again: a dot
    // drawn without one lets the full-size picture go as soon as it is replaced.
    canvas.draw(sf::RectangleShape({1.f, 1.f}));
    if (kept.getSize() != drawnSize)
        return;
    kept.setSmooth(false);
    picture.swap(kept);
}

bool Pictures::isOpaque(const sf::Texture& picture) {
    const sf::Image image = picture.copyToImage();
    const sf::Vector2u size = image.getSize();
    const std::uint8_t* pixel = image.getPixelsPtr();
    if (!pixel)
        return false;
    const std::uint8_t* const end = pixel + std::uint64_t{size.x} * size.y * 4;
    for (pixel += 3; pixel < end; pixel += 4)
        if (*pixel != 255)
            return false;
    return true;
}
