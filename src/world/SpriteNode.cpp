#include "world/SpriteNode.hpp"

#include "core/CopyingProgram.hpp"
#include "core/ResourceHolder.hpp"
#include "world/WorldGlobals.hpp"

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <algorithm>
#include <cmath>

SpriteNode::SpriteNode() {
    const sf::Texture& texture = textureHolder->get(Textures::Platform);
    sprite.setTexture(texture);
    const sf::Vector2u textureSize = texture.getSize();
    // An empty texture (missing picture) draws nothing; keep the scale finite.
    if (textureSize.x == 0 || textureSize.y == 0)
        return;
    setScale(static_cast<float>(static_cast<double>(windowSize.x) / textureSize.x),
             static_cast<float>(static_cast<double>(windowSize.y) / textureSize.y));
}

SpriteNode::~SpriteNode() = default;

void SpriteNode::showDownTo(float bottom) {
    const sf::Texture* texture = sprite.getTexture();
    if (!texture || getScale().y <= 0.f)
        return;
    const sf::Vector2u size = texture->getSize();
    const float rows = std::min(std::ceil(bottom / getScale().y), static_cast<float>(size.y));
    sprite.setTextureRect({0, 0, static_cast<int>(size.x), static_cast<int>(std::max(rows, 0.f))});
}

void SpriteNode::drawCurrent(sf::RenderTarget& target, sf::RenderStates states) const {
    if (opaque)
        states.blendMode = sf::BlendNone;
    if (opaque && copyingProgram)
        copyingProgram->draw(target, sprite, states);
    else
        target.draw(sprite, states);
}
