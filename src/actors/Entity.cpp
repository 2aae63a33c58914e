#include "actors/Entity.hpp"

#include "world/WorldGlobals.hpp"

Entity::Entity() = default;

void Entity::onCollision(SceneNode&, std::bitset<8>) {}

void Entity::updateCurrent(sf::Time dt) {
    step(dt);
    move(getVelocity() * dt.asSeconds());
    keepInWorld();
}

void Entity::keepInWorld() {
    const sf::Vector2f size = getSize();
    sf::Vector2f position = getPosition();

    // Decided on x alone, whichever way the entity is moving.
    if (position.x >= worldSize.x - EdgeMargin)
        setPosition(EdgeMargin - size.x, position.y);
    else if (position.x + size.x <= EdgeMargin)
        setPosition(worldSize.x - EdgeMargin, position.y);

    position = getPosition();
    if (position.y + size.y >= worldSize.y && !isDestroyed()) {
        setPosition(position.x, worldSize.y - size.y);
        const sf::Vector2f acceleration = getAcceleration();
        setAcceleration(acceleration.x, static_cast<float>(acceleration.y - Gravity));
        if (getVelocity().y > 0.f)
            setVelocity(getVelocity().x, 0.f);
    }
}

void Entity::destroy() {
    destroyed = true;
}

bool Entity::isDestroyed() const {
    return destroyed;
}

bool Entity::isMarkedForRemoval() const {
    return destroyed;
}
