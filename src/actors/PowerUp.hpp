#pragma once

#include "actors/Entity.hpp"

#include <SFML/Graphics/Sprite.hpp>

// A colour token: rises, falls onto a platform or the floor and waits for the tank. Touching
// kinds 0–3 adds one to a colour counter of the player (kind 2 fills blue, kind 3 green); other
// kinds only play the pickup sound. Its picture, a rectangle of the PowerUps texture, is read
// from "Scripts/PowerUps.lua" by every power-up afresh; when the script or its entry for the kind
// cannot be read, the power-up has an empty picture and size 0 × 0 (the problem is reported once
// on the error stream). Needs textureHolder before construction.
class PowerUp : public Entity {
public:
    static constexpr float RiseSpeed = 100.f;

    // Where the kind's picture lies in Images/PowerUps.png, as Scripts/PowerUps.lua says; the
    // empty rectangle (reported once) when the script cannot tell.
    static sf::IntRect pictureOf(int kind);

    explicit PowerUp(int kind);
    // Stands with its bottom edge on (x, y).
    PowerUp(int kind, float x, float y);
    ~PowerUp() override;

    // Only a node of category exactly 4 (the tank) picks it up.
    void onTouch(SceneNode& other);
    int getKindOfPowerUp() const { return kind; }
    sf::IntRect getPictureRect() const { return pictureRect; }
    bool isPickedUp() const { return pickedUp; }

    sf::Vector2f getSize() const override;
    // The picture's rectangle twice: body and bottom probe, so it lands but has no head or sides.
    void getBoundingRect(std::vector<sf::FloatRect>& out) const override;
    bool isMarkedForRemoval() const override;
    // Picks it up; the entity's destroyed flag stays false, so the floor always holds it.
    void destroy() override;

private:
    void drawCurrent(sf::RenderTarget& target, sf::RenderStates states) const override;

    sf::Sprite sprite;
    int kind;
    sf::IntRect pictureRect;
    bool pickedUp = false;
};
