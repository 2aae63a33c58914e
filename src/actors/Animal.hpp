#pragma once

#include "actors/Animation.hpp"
#include "actors/Entity.hpp"
#include "actors/Modes.hpp"
#include "core/ResourceIdentifiers.hpp"

#include <map>
#include <memory>

// An enemy that walks at a constant speed (no drag), falls and lands, and turns around when it
// runs into another animal. Active animals are deadly to the tank, stunned ones are harmless
// prey. Knocked off a hopping block it is stunned for a while and then walks on faster; a
// marked animal instead vanishes at once and leaves a yellow power-up behind.
class Animal : public Entity {
public:
    static constexpr float MaxSpeed = 500.f;

    ~Animal() override;

    // Stuns it, or, when marked, makes it vanish; a stunned or vanishing animal ignores it.
    void knock();
    // Ends a stun: walks on at 1.2 times the speed it had when knocked, plus 25.
    void recover();
    void mark() { marked = true; }
    bool isMarked() const { return marked; }
    Modes::Modes getMode() const { return mode; }
    // Time spent in the current stun.
    sf::Time getStunElapsed() const { return stunElapsed; }
    sf::Time getStunTime() const { return stunTime; }
    const Animation& getAnimation(Modes::Modes which) const { return *animations.at(which); }

    std::uint32_t getCategory() const override;
    // Of the current mode's picture, in world pixels.
    sf::Vector2f getSize() const override;
    void getBoundingRect(std::vector<sf::FloatRect>& out) const override;
    // Separates two animals around their midpoint and turns them around: both when they meet
    // head on, only the rear one when they walk the same way.
    void onCollision(SceneNode& other, std::bitset<8> contacts) override;
    // What two animals do when they meet, `first` being the one the world tells; for anything
    // that moves like an animal (the automatic player foresees wolves meeting with it).
    static void meet(Entity& first, Entity& second);

protected:
    explicit Animal(TextureHolder& textures);

    virtual void initCollisionRects() = 0;
    void addAnimation(Modes::Modes which, std::unique_ptr<Animation> animation);
    void setMode(Modes::Modes value) { mode = value; }
    void setStunTime(sf::Time value) { stunTime = value; }

    void updateCurrent(sf::Time dt) override;

private:
    void drawCurrent(sf::RenderTarget& target, sf::RenderStates states) const override;
    sf::FloatRect getWorldBounds() const;

    std::map<Modes::Modes, std::unique_ptr<Animation>> animations;
    Modes::Modes mode = Modes::Active;
    sf::Time stunTime;
    // Game time, not wall-clock time: the stun lasts as many seconds of play as the updates add.
    sf::Time stunElapsed;
    double savedSpeed = 0.0;
    bool marked = false;
};
