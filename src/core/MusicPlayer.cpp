#include "core/MusicPlayer.hpp"

MusicPlayer::MusicPlayer()
    : filenames{{MusicTheme::MenuTheme, "Audio/MenuTheme.ogg"},
                {MusicTheme::GameTheme, "Audio/GameTheme.ogg"}} {}

void MusicPlayer::play(MusicTheme::MusicTheme theme) {
    if (!music.openFromFile(filenames[theme]))
        return;
    music.setVolume(volume);
    music.setLoop(true);
    music.play();
}
