#pragma once

#include "core/ResourceIdentifiers.hpp"

#include <SFML/Audio/Music.hpp>
#include <SFML/System/NonCopyable.hpp>

#include <map>
#include <string>

// Streams one looping background theme at a time.
class MusicPlayer : sf::NonCopyable {
public:
    MusicPlayer();

    // Starts the theme from its beginning, looping; a theme that cannot be opened leaves silence.
    void play(MusicTheme::MusicTheme theme);

    const sf::Music& getMusic() const { return music; }

private:
    sf::Music music;
    std::map<MusicTheme::MusicTheme, std::string> filenames;
    float volume = 100.f;
};
