#pragma once
// Shared set-up of the actor tests: the process-wide values the world would publish.

#include "core/ResourceHolder.hpp"
#include "core/SoundPlayer.hpp"
#include "world/WorldGlobals.hpp"

#include "TestSupport.hpp"

#include <SFML/Audio/SoundBuffer.hpp>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <gtest/gtest.h>

#include <vector>

namespace actortest {

const sf::Color Rear = sf::Color::Red;   // the left 20 columns of the tank picture
const sf::Color Front = sf::Color::Blue; // the rest of it

// Small pictures written as real PNG files and loaded into a real holder, which is published as
// the world's texture holder while the object lives.
class ScopedTextures {
public:
    ScopedTextures() : previous(textureHolder) {
        sf::Image tank;
        tank.create(55, 76, Front);
        for (unsigned y = 0; y < 76; ++y)
            for (unsigned x = 0; x < 20; ++x)
                tank.setPixel(x, y, Rear);
        save(tank, Textures::Tank, "Tank.png");
        sf::Image wreck;
        wreck.create(65, 65, sf::Color::Yellow);
        save(wreck, Textures::TankExplosion, "TankExplosion.png");
        sf::Image tokens;
        tokens.create(128, 32, sf::Color::Green);
        save(tokens, Textures::PowerUps, "PowerUps.png");
        textureHolder = &holder;
    }
    ~ScopedTextures() { textureHolder = previous; }
    ScopedTextures(const ScopedTextures&) = delete;
    ScopedTextures& operator=(const ScopedTextures&) = delete;

    TextureHolder holder;

private:
    void save(const sf::Image& image, Textures::Textures id, const std::string& name) {
        const std::string file = (dir / name).string();
        EXPECT_TRUE(image.saveToFile(file));
        holder.load(id, file);
        EXPECT_EQ(holder.get(id).getSize(), image.getSize()) << name;
    }

    testsupport::TempDir dir;
    TextureHolder* previous;
};

class ScopedWorldSize {
public:
    ScopedWorldSize(float width, float height) : previous(worldSize) {
        worldSize = {width, height};
    }
    ~ScopedWorldSize() { worldSize = previous; }

private:
    sf::Vector2f previous;
};

// Gives the effects the actors play a short real sound, so playing them is not an error.
inline void loadEffects() {
    static bool loaded = false;
    if (loaded)
        return;
    testsupport::TempDir dir;
    std::vector<sf::Int16> samples(4410, 3000);
    sf::SoundBuffer buffer;
    ASSERT_TRUE(buffer.loadFromSamples(samples.data(), samples.size(), 1, 44100));
    const std::string file = (dir / "click.wav").string();
    ASSERT_TRUE(buffer.saveToFile(file));
    for (SFX::SFX effect : {SFX::KeyGeneration, SFX::PowerObtained, SFX::PortalExplosion})
        soundPlayer().load(effect, file);
    loaded = true;
}

// Sounds started from now on (finished ones are only dropped by update, which tests do not call).
class SoundCounter {
public:
    SoundCounter() : start(soundPlayer().getSoundCount()) { loadEffects(); }
    std::size_t started() const { return soundPlayer().getSoundCount() - start; }

private:
    std::size_t start;
};

} // namespace actortest
