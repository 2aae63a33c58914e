#pragma once

#include "actors/Entity.hpp"

#include <SFML/Graphics/Sprite.hpp>

#include <array>

// The player's vehicle. Driven by commands of its category (4), it turns into a wreck when
// destroyed: the wreck hops up and, with only an empty rectangle for its shape, touches nothing on
// its way down through every platform and the world's floor; it is removed 500 pixels below the
// world. Needs textureHolder to hold the Tank and TankExplosion pictures before construction.
class Tank : public Entity {
public:
    static constexpr float JumpSpeed = -775.f;
    static constexpr DragCoefficients Drag{0.9, 0.0005};
    static constexpr float WreckHopSpeed = -400.f;
    // How far below the world's bottom a wreck falls before it is removed.
    static constexpr float WreckFallDepth = 500.f;
    // An intact tank's collision rectangles, relative to its position: the body, then the bottom,
    // top, left and right probes.
    static const std::array<sf::FloatRect, 5> Shape;
    // Where the intact tank, facing right, lies in Images/Tank.png.
    static const sf::IntRect Picture;

    Tank();
    ~Tank() override;

    // Sets the drive (x only) and faces the way it points; a zero drive keeps the facing.
    // A wreck ignores it.
    void accelerate(sf::Vector2f a);
    void jump() override;
    // The first call turns the tank into a wreck and starts its hop; later calls change nothing.
    void destroy() override;

    bool isFacingLeft() const;
    // Of the picture: 55 × 76 intact, 65 × 65 as a wreck.
    sf::Vector2f getSize() const override;
    // The five collision rectangles, moved to where the picture is drawn in the world; a wreck
    // gives the single empty rectangle (0, 0, 0, 0).
    void getBoundingRect(std::vector<sf::FloatRect>& out) const override;
    bool isMarkedForRemoval() const override;

private:
    void drawCurrent(sf::RenderTarget& target, sf::RenderStates states) const override;

    sf::Sprite sprite;
    sf::Vector2f scaleFactor{1.f, 1.f};
};
