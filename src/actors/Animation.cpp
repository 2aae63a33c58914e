#include "actors/Animation.hpp"

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Texture.hpp>

Animation::Animation() = default;

Animation::Animation(const sf::Texture& texture, sf::IntRect firstFrame)
    : firstFrame(firstFrame), sprite(texture, firstFrame) {}

void Animation::update(sf::Time dt) {
    if (numFrames == 0)
        return;
    const sf::Time timePerFrame = duration / static_cast<float>(numFrames);
    const sf::Texture* texture = sprite.getTexture();
    const int textureWidth = texture ? static_cast<int>(texture->getSize().x) : 0;
    sf::IntRect rect = sprite.getTextureRect();
    if (currentFrame == 0)
        rect = firstFrame;

    elapsed += dt;
    // A zero frame time would step for ever; such an animation simply holds its frame.
    while (timePerFrame > sf::Time::Zero && elapsed >= timePerFrame &&
           (currentFrame <= numFrames || repeating)) {
        rect.left += rect.width;
        if (rect.left + rect.width > textureWidth) {
            rect.left = 0;
            rect.top += rect.height;
        }
        if (repeating) {
            currentFrame = (currentFrame + 1) % numFrames;
            if (currentFrame == 0)
                rect = firstFrame;
        } else {
            ++currentFrame;
        }
        if (isFinished())
            rect = sf::IntRect(0, 0, 0, 0);
        elapsed -= timePerFrame;
    }
    sprite.setTextureRect(rect);
}

sf::FloatRect Animation::getLocalBounds() const {
    return sprite.getLocalBounds();
}

sf::FloatRect Animation::getGlobalBounds() const {
    return getTransform().transformRect(getLocalBounds());
}

bool Animation::isFinished() const {
    return currentFrame >= numFrames;
}

void Animation::setTexture(const sf::Texture& texture) {
    sprite.setTexture(texture);
}

const sf::Texture* Animation::getTexture() const {
    return sprite.getTexture();
}

void Animation::draw(sf::RenderTarget& target, sf::RenderStates states) const {
    states.transform *= getTransform();
    target.draw(sprite, states);
}
