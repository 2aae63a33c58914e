#include "actors/Tank.hpp"

#include "core/Category.hpp"
#include "core/ResourceHolder.hpp"
#include "core/SoundPlayer.hpp"
#include "world/WorldGlobals.hpp"

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Texture.hpp>

namespace {
// Both facings come from one 55 × 76 region: the left one is the right one mirrored.
const sf::IntRect FacingLeft(55, 0, -55, 76);
const sf::IntRect Wreck(0, 0, 65, 65);

} // namespace

const sf::IntRect Tank::Picture(0, 0, 55, 76);

const std::array<sf::FloatRect, 5> Tank::Shape = {{
    {0.5f, 0.f, 54.2f, 76.f},  // body
    {13.f, 60.f, 29.f, 15.7f}, // bottom probe
    {3.7f, 0.f, 47.5f, 18.f},  // top probe
    {0.5f, 18.f, 27.5f, 43.f}, // left probe
    {28.f, 18.f, 26.7f, 43.f}, // right probe
}};

Tank::Tank() {
    setCollidable(true);
    setDragCoefficients(Drag);

    sf::Texture& picture = textureHolder->get(Textures::Tank);
    picture.setSmooth(true);
    sprite.setTexture(picture);
    sprite.setTextureRect(Picture);
    sprite.setScale(scaleFactor);
    textureHolder->get(Textures::TankExplosion).setSmooth(true);

    for (std::size_t i = 0; i < Shape.size(); ++i) {
        const sf::FloatRect& r = Shape[i];
        collisionRects[i] = {r.left * scaleFactor.x, r.top * scaleFactor.y, r.width * scaleFactor.x,
                             r.height * scaleFactor.y};
    }
    setCategory(Category::Tank);
}

Tank::~Tank() = default;

void Tank::accelerate(sf::Vector2f a) {
    if (isDestroyed())
        return;
    setAcceleration(a.x, getAcceleration().y);
    if (a.x > 0.f)
        sprite.setTextureRect(Picture);
    else if (a.x < 0.f)
        sprite.setTextureRect(FacingLeft);
}

void Tank::jump() {
    if (getVelocity().y == 0.f && getAcceleration().y == 0.f) {
        setVelocity(getVelocity().x, JumpSpeed);
        soundPlayer().play(SFX::Jump);
    }
}

void Tank::destroy() {
    if (!isDestroyed()) {
        sprite.setTexture(textureHolder->get(Textures::TankExplosion));
        sprite.setTextureRect(Wreck);
        setVelocity(getVelocity().x, WreckHopSpeed);
    }
    Entity::destroy();
}

bool Tank::isFacingLeft() const {
    return sprite.getTextureRect().width < 0;
}

sf::Vector2f Tank::getSize() const {
    const sf::FloatRect bounds = sprite.getGlobalBounds();
    return {bounds.width, bounds.height};
}

void Tank::getBoundingRect(std::vector<sf::FloatRect>& out) const {
    out.clear();
    // A wreck has no shape: it touches no actor and no block, so it falls out of the world
    // from wherever it was destroyed and the next tank can come.
    if (isDestroyed()) {
        out.emplace_back();
        return;
    }
    const sf::FloatRect bounds = getWorldTransform().transformRect(sprite.getGlobalBounds());
    for (const sf::FloatRect& r : collisionRects)
        out.emplace_back(r.left + bounds.left, r.top + bounds.top, r.width, r.height);
}

bool Tank::isMarkedForRemoval() const {
    return isDestroyed() && getPosition().y >= worldSize.y + WreckFallDepth;
}

void Tank::drawCurrent(sf::RenderTarget& target, sf::RenderStates states) const {
    if (isInView(target, states, sprite.getGlobalBounds()))
        target.draw(sprite, states);
}
