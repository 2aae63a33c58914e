#pragma once

#include <SFML/Graphics/Drawable.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Transformable.hpp>
#include <SFML/System/Time.hpp>

namespace sf {
class Texture;
}

// Plays a sprite sheet: equally sized frames left to right, wrapping to the next row at the
// texture's right edge. A one-shot animation ends on an empty rectangle and shows nothing.
// Not a scene node: the owner updates and draws it. The texture must outlive the animation.
class Animation : public sf::Drawable, public sf::Transformable {
public:
    Animation();
    Animation(const sf::Texture& texture, sf::IntRect firstFrame);

    // Steps as many frames as the time allows and keeps the rest for the next update.
    // Needs at least one frame; with a zero duration the shown frame does not change.
    void update(sf::Time dt);

    sf::FloatRect getLocalBounds() const;
    sf::FloatRect getGlobalBounds() const;
    bool isFinished() const;

    void setTexture(const sf::Texture& texture);
    const sf::Texture* getTexture() const;
    void setFrameRect(sf::IntRect rect) { firstFrame = rect; }
    sf::IntRect getFrameRect() const { return firstFrame; }
    void setNumFrames(std::size_t count) { numFrames = count; }
    std::size_t getNumFrames() const { return numFrames; }
    void setDuration(sf::Time value) { duration = value; }
    sf::Time getDuration() const { return duration; }
    void setRepeating(bool value) { repeating = value; }
    bool isRepeating() const { return repeating; }
    // Back to frame 0; the time kept towards the next step stays.
    void restart() { currentFrame = 0; }

    std::size_t getCurrentFrame() const { return currentFrame; }
    // The rectangle shown now (empty once a one-shot animation has finished).
    sf::IntRect getShownRect() const { return sprite.getTextureRect(); }

private:
    void draw(sf::RenderTarget& target, sf::RenderStates states) const override;

    sf::IntRect firstFrame;
    std::size_t numFrames = 0;
    std::size_t currentFrame = 0;
    sf::Time duration;
    sf::Time elapsed;
    bool repeating = false;
    sf::Sprite sprite;
};
