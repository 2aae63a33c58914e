#include "world/SpriteNode.hpp"

#include "core/ResourceHolder.hpp"
#include "world/WorldGlobals.hpp"

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Texture.hpp>

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

void SpriteNode::drawCurrent(sf::RenderTarget& target, sf::RenderStates states) const {
    target.draw(sprite, states);
}
