#pragma once

#include "core/ResourceIdentifiers.hpp"

#include <SFML/Audio/Music.hpp>
#include <SFML/System/NonCopyable.hpp>

#include <map>
#include <optional>
#include <string>

// Streams one looping background theme at a time; silent without a sound device.
class MusicPlayer : sf::NonCopyable {
public:
    // Touches no sound device: it is opened when the first theme plays (or before, by anyone), so
    // that the game shows its first frame without waiting for it.
    MusicPlayer();

    // Starts the theme from its beginning, looping; a theme that cannot be opened leaves silence.
    void play(MusicTheme::MusicTheme theme);
    // Holds the theme where it is, or goes on from there.
    void setPaused(bool paused);
    // 0 to 100, for this theme and the next ones.
    void setVolume(float percent);
    float getVolume() const { return volume; }

    // Null before the first theme plays and without a sound device.
    const sf::Music* getMusic() const { return music ? &*music : nullptr; }

private:
    std::optional<sf::Music> music;
    std::map<MusicTheme::MusicTheme, std::string> filenames;
    float volume = 100.f;
};
