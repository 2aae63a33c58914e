#include "core/MusicPlayer.hpp"

#include "core/AudioDevice.hpp"

MusicPlayer::MusicPlayer()
    : filenames{{MusicTheme::MenuTheme, "Audio/MenuTheme.ogg"},
                {MusicTheme::GameTheme, "Audio/GameTheme.ogg"}} {}

void MusicPlayer::play(MusicTheme::MusicTheme theme) {
    // Without a device even an idle stream fails on every call the library makes.
    if (!music && audioDevice().isOpen())
        music.emplace();
    if (!music || !music->openFromFile(filenames[theme]))
        return;
    music->setVolume(volume);
    music->setLoop(true);
    music->play();
}

void MusicPlayer::setPaused(bool paused) {
    if (!music)
        return;
    if (paused && music->getStatus() == sf::Music::Playing)
        music->pause();
    else if (!paused && music->getStatus() == sf::Music::Paused)
        music->play();
}

void MusicPlayer::setVolume(float percent) {
    volume = percent;
    if (music)
        music->setVolume(volume);
}
