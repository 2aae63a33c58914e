#include "core/SoundPlayer.hpp"

#include <SFML/Audio/Listener.hpp>

#include <cmath>

namespace {
const float ListenerZ = 300.f;
const float Attenuation = 8.f;
// Distance from the listener to a point of the sound plane 200 units from the point under it.
const float MinDistance3D = std::sqrt(200.f * 200.f + ListenerZ * ListenerZ);
} // namespace

SoundPlayer::SoundPlayer() {
    sf::Listener::setDirection(0.f, 0.f, -1.f);
}

void SoundPlayer::load(SFX::SFX effect, const std::string& filename) {
    if (!audioDevice().isOpen())
        return;
    buffers.load(effect, filename);
}

void SoundPlayer::play(SFX::SFX effect, sf::Vector2f position) {
    if (!audioDevice().isOpen())
        return;
    if (sounds.size() >= MaxSounds)
        removeStoppedSounds();
    if (sounds.size() >= MaxSounds)
        return;
    sounds.emplace_back();
    sf::Sound& sound = sounds.back();
    sound.setBuffer(buffers.get(effect));
    sound.setPosition(position.x, -position.y, 0.f);
    sound.setAttenuation(Attenuation);
    sound.setMinDistance(MinDistance3D);
    sound.setVolume(volume);
    sound.play();
    ++playCounts[effect];
}

unsigned SoundPlayer::getPlayCount(SFX::SFX effect) const {
    const auto found = playCounts.find(effect);
    return found == playCounts.end() ? 0u : found->second;
}

void SoundPlayer::play(SFX::SFX effect) {
    play(effect, getListenerPosition());
}

void SoundPlayer::setVolume(float percent) {
    volume = percent;
    for (sf::Sound& sound : sounds)
        sound.setVolume(volume);
}

void SoundPlayer::removeStoppedSounds() {
    sounds.remove_if([](const sf::Sound& s) { return s.getStatus() == sf::Sound::Stopped; });
}

void SoundPlayer::setListenerPosition(sf::Vector2f position) {
    sf::Listener::setPosition(position.x, -position.y, ListenerZ);
}

sf::Vector2f SoundPlayer::getListenerPosition() const {
    const sf::Vector3f position = sf::Listener::getPosition();
    return {position.x, -position.y};
}

void SoundPlayer::update(sf::Vector2f listenerPosition) {
    setListenerPosition(listenerPosition);
    removeStoppedSounds();
}

SoundPlayer& soundPlayer() {
    static SoundPlayer instance;
    return instance;
}
