#include "screens/Backdrop.hpp"

#include "core/Pictures.hpp"
#include "screens/ScreenLayout.hpp"

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <algorithm>
#include <cmath>

namespace {

// Dark enough that the area's own edges read as the screen's edges.
const sf::Color SurroundShade(110, 110, 120);

} // namespace

Backdrop::Backdrop(sf::Texture& texture, const ScreenLayout& layout)
    : layoutTransform(layout.getTransform()) {
    const sf::Vector2f size(texture.getSize());
    if (size.x <= 0.f || size.y <= 0.f)
        return;
    shown = true;
    const sf::Vector2u window = layout.getWindowSize();
    const sf::FloatRect area = layout.getArea();
    // A gap of under a pixel is not worth a second picture.
    withSurround = area.width < static_cast<float>(window.x) - 1.f ||
                   area.height < static_cast<float>(window.y) - 1.f;
    const bool exactFit = !withSurround && area.left == 0.f && area.top == 0.f &&
                          std::lround(area.width) == static_cast<long>(window.x) &&
                          std::lround(area.height) == static_cast<long>(window.y);
    if (exactFit)
        Pictures::keepAtDrawnSize(texture, window);
    // An opaque picture needs nothing under it: drawn without blending, it paints every pixel it
    // covers, and with its surround, or fitting exactly, that is every pixel of the window.
    opaque = Pictures::isOpaque(texture);
    covers = opaque && (withSurround || exactFit);

    const sf::Vector2f kept(texture.getSize());
    picture.setTexture(texture, true);
    picture.setScale(ScreenLayout::Width / kept.x, ScreenLayout::Height / kept.y);
    if (withSurround) {
        // Covers the window at the picture's own proportions, centred.
        const float cover =
            std::max(static_cast<float>(window.x) / kept.x, static_cast<float>(window.y) / kept.y);
        surround.setTexture(texture, true);
        surround.setColor(SurroundShade);
        surround.setOrigin(kept.x / 2.f, kept.y / 2.f);
        surround.setScale(cover, cover);
        surround.setPosition(static_cast<float>(window.x) / 2.f,
                             static_cast<float>(window.y) / 2.f);
    }
}

void Backdrop::draw(sf::RenderTarget& target, sf::RenderStates states) const {
    if (!shown)
        return;
    if (opaque)
        states.blendMode = sf::BlendNone;
    if (withSurround)
        target.draw(surround, states);
    states.transform *= layoutTransform;
    target.draw(picture, states);
}
