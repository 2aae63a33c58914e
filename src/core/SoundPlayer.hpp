#pragma once

#include "core/AudioDevice.hpp"
#include "core/ResourceHolder.hpp"
#include "core/ResourceIdentifiers.hpp"

#include <SFML/Audio/Sound.hpp>
#include <SFML/Audio/SoundBuffer.hpp>
#include <SFML/System/NonCopyable.hpp>
#include <SFML/System/Vector2.hpp>

#include <list>
#include <map>
#include <string>

// Plays short effects placed in the 2D world. Game (x, y) maps to audio (x, -y, 0); the listener
// hovers at z = 300 looking down, so a sound within 200 units of the point under it is at full
// volume. One instance serves the whole process (soundPlayer()). Without a sound device it loads
// and plays nothing. Making it opens no device: the first effect loaded does (audioDevice()), so
// the volume can be set at start-up without waiting for the device.
class SoundPlayer : sf::NonCopyable {
public:
    // OpenAL offers a few hundred voices at most; past this many sounds at once a new effect is
    // dropped rather than failing inside the audio library.
    static constexpr std::size_t MaxSounds = 128;

    SoundPlayer();

    void load(SFX::SFX effect, const std::string& filename);
    void play(SFX::SFX effect, sf::Vector2f position);
    // At the listener, so always at full volume.
    void play(SFX::SFX effect);

    // 0 to 100, for the effects playing and the next ones.
    void setVolume(float percent);
    float getVolume() const { return volume; }

    void removeStoppedSounds();
    void setListenerPosition(sf::Vector2f position);
    sf::Vector2f getListenerPosition() const;
    // Once per world update: the listener follows the camera, finished sounds are dropped.
    void update(sf::Vector2f listenerPosition);

    std::size_t getSoundCount() const { return sounds.size(); }
    // How many times the effect has been started since the process began.
    unsigned getPlayCount(SFX::SFX effect) const;

private:
    SoundBufferHolder buffers;
    // A list, so a playing sound never moves in memory while others come and go.
    std::list<sf::Sound> sounds;
    std::map<SFX::SFX, unsigned> playCounts;
    float volume = 100.f;
};

// The process-wide player; created on first use, destroyed after main returns.
SoundPlayer& soundPlayer();
