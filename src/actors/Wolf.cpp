#include "actors/Wolf.hpp"

#include "core/ResourceHolder.hpp"

#include <SFML/Graphics/Texture.hpp>

const sf::IntRect Wolf::WalkingPicture(0, 0, 50, 70);
const sf::IntRect Wolf::StunnedPicture(50, 0, 50, 70);

Wolf::Wolf(TextureHolder& textures) : Animal(textures) {
    sf::Texture& drone = textures.get(Textures::DroneBasic);
    drone.setSmooth(true);
    setStunTime(sf::seconds(15.f));

    auto walking = std::make_unique<Animation>(drone, WalkingPicture);
    walking->setNumFrames(1);
    walking->setDuration(sf::seconds(0.6f));
    walking->setRepeating(true);
    addAnimation(Modes::Active, std::move(walking));

    auto stunned = std::make_unique<Animation>(drone, StunnedPicture);
    stunned->setNumFrames(1);
    stunned->setDuration(sf::seconds(1.f));
    stunned->setRepeating(true);
    addAnimation(Modes::Stunned, std::move(stunned));

    setMode(Modes::Active);
    initCollisionRects();
}

void Wolf::initCollisionRects() {
    // Relative to the picture's top-left corner; the walking picture has scale 1.
    collisionRects[0] = {2.f, 0.f, 43.f, 70.f};
    collisionRects[1] = {11.f, 60.f, 27.f, 9.f};
    collisionRects[2] = {10.8f, 0.f, 30.f, 10.7f};
    collisionRects[3] = {2.f, 10.7f, 23.f, 49.3f};
    collisionRects[4] = {25.4f, 10.7f, 22.f, 49.3f};
}
