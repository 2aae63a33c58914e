#pragma once

#include "world/Physics.hpp"
#include "world/SceneNode.hpp"

#include <SFML/Graphics/Rect.hpp>

#include <array>
#include <bitset>

// Base of every moving actor: a scene node with point physics, the world's edge rule and a
// one-way destroyed flag. Only subclasses are created.
class Entity : public SceneNode, public Physics {
public:
    // Does nothing; the world calls it for animal-against-animal contacts.
    virtual void onCollision(SceneNode& other, std::bitset<8> contacts);
    // Wraps around the world's sides with a 20-pixel margin and stands a living entity on the
    // world's floor, cancelling the gravity of the last step. A destroyed entity falls through.
    virtual void keepInWorld();
    virtual void destroy();

    bool isDestroyed() const override;
    bool isMarkedForRemoval() const override;

    static constexpr float EdgeMargin = 20.f;

protected:
    Entity();

    // Physics step, move by velocity × time, then keepInWorld.
    void updateCurrent(sf::Time dt) override;

    // In pixels relative to the top-left corner of the actor's drawn bounds: 0 body, 1 bottom
    // probe, 2 top probe, 3 left probe, 4 right probe. Filled by the subclass constructor.
    std::array<sf::FloatRect, 5> collisionRects;

private:
    bool destroyed = false;
};
