#include "actors/Animal.hpp"

#include "actors/Objects.hpp"
#include "core/Command.hpp"
#include "core/CommandQueue.hpp"
#include "core/ResourceHolder.hpp"
#include "core/SoundPlayer.hpp"

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <algorithm>
#include <cmath>

namespace {
const float WakeUpBoost = 25.f;
const double StunSpeedFactor = 1.2;
const float Gap = 2.f;
const int VanishingPowerUp = 1;
} // namespace

Animal::Animal(TextureHolder& textures) {
    setCollidable(true);
    setKind(7);
    soundPlayer().play(SFX::RoboEntry, getPosition());
    auto vanish =
        std::make_unique<Animation>(textures.get(Textures::Vanish), sf::IntRect(0, 0, 128, 128));
    vanish->setNumFrames(5);
    vanish->setDuration(sf::seconds(0.5f));
    vanish->setRepeating(false);
    vanish->setScale(0.5f, 0.5f);
    addAnimation(Modes::Vanishing, std::move(vanish));
}

Animal::~Animal() = default;

void Animal::addAnimation(Modes::Modes which, std::unique_ptr<Animation> animation) {
    animations[which] = std::move(animation);
}

std::uint32_t Animal::getCategory() const {
    return Category::Animal;
}

sf::FloatRect Animal::getWorldBounds() const {
    const auto found = animations.find(mode);
    if (found == animations.end())
        return {};
    return getWorldTransform().transformRect(found->second->getGlobalBounds());
}

sf::Vector2f Animal::getSize() const {
    const sf::FloatRect bounds = getWorldBounds();
    return {bounds.width, bounds.height};
}

void Animal::getBoundingRect(std::vector<sf::FloatRect>& out) const {
    out.clear();
    const sf::FloatRect bounds = getWorldBounds();
    for (sf::FloatRect rect : collisionRects) {
        rect.left += bounds.left;
        rect.top += bounds.top;
        out.push_back(rect);
    }
}

void Animal::drawCurrent(sf::RenderTarget& target, sf::RenderStates states) const {
    const auto found = animations.find(mode);
    if (found != animations.end() && isInView(target, states, found->second->getGlobalBounds()))
        target.draw(*found->second, states);
}

void Animal::updateCurrent(sf::Time dt) {
    if (mode == Modes::Vanishing) {
        Animation& vanish = *animations.at(Modes::Vanishing);
        if (vanish.isFinished())
            destroy();
        else
            vanish.update(dt);
        return;
    }
    Entity::updateCurrent(dt);
    const sf::Vector2f velocity = getVelocity();
    setVelocity(std::clamp(velocity.x, -MaxSpeed, MaxSpeed), velocity.y);
    const auto found = animations.find(mode);
    if (found != animations.end())
        found->second->update(dt);
    if (mode == Modes::Stunned) {
        stunElapsed += dt;
        if (stunElapsed >= stunTime)
            recover();
    }
}

void Animal::knock() {
    if (mode != Modes::Active || isDestroyed())
        return;
    if (marked) {
        const sf::Vector2f position = getPosition();
        Command spawnComm;
        spawnComm.category = Category::Objects;
        spawnComm.action = [position](SceneNode& node, sf::Time) {
            if (auto* objects = dynamic_cast<Objects*>(&node))
                objects->spawn(VanishingPowerUp, position.x, position.y);
        };
        commandQueue().push(spawnComm);
        mode = Modes::Vanishing;
        soundPlayer().play(SFX::RoboVanish);
        // Gone at once: frozen in its vanishing picture it would still kill the tank, since the
        // world spares the tank only from stunned animals.
        destroy();
        return;
    }
    soundPlayer().play(SFX::Repair, getPosition());
    mode = Modes::Stunned;
    stunElapsed = sf::Time::Zero;
    savedSpeed = StunSpeedFactor * getVelocity().x;
    setVelocity(0.f, getVelocity().y);
}

void Animal::recover() {
    if (mode != Modes::Stunned)
        return;
    mode = Modes::Active;
    float speed = static_cast<float>(savedSpeed);
    if (speed > 0.f)
        speed += WakeUpBoost;
    else if (speed < 0.f)
        speed -= WakeUpBoost;
    setVelocity(speed, getVelocity().y);
    soundPlayer().play(SFX::RoboEntry, getPosition());
}

void Animal::onCollision(SceneNode& other, std::bitset<8>) {
    if (auto* animal = dynamic_cast<Entity*>(&other))
        meet(*this, *animal);
}

void Animal::meet(Entity& first, Entity& second) {
    const float xa = first.getPosition().x;
    const float xb = second.getPosition().x;
    const float va = first.getVelocity().x;
    const float vb = second.getVelocity().x;
    const float w = second.getSize().x;

    const float middle = (xa + xb + w) / 2.f;
    if (xa > xb) {
        second.setPosition(middle - w - Gap, second.getPosition().y);
        first.setPosition(middle + Gap, first.getPosition().y);
    } else {
        second.setPosition(middle + Gap, second.getPosition().y);
        first.setPosition(middle - w - Gap, first.getPosition().y);
    }

    auto turn = [](Entity& entity) {
        entity.setVelocity(-entity.getVelocity().x, entity.getVelocity().y);
    };
    if (va < 0.f && vb < 0.f) {
        turn(xb > xa ? second : first);
    } else if (va > 0.f && vb > 0.f) {
        turn(xa > xb ? second : first);
    } else {
        turn(second);
        turn(first);
    }
}
