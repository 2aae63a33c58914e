// Plays one effect through the game's sound player and waits until it has finished, so that a
// test can run it with OpenAL's wave output and look at what reached the speakers.
// Usage: sound_probe EFFECT_FILE X Y   (the listener stays at the origin)
#include "core/SoundPlayer.hpp"

#include <SFML/System/Sleep.hpp>

#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: sound_probe EFFECT_FILE X Y\n";
        return 2;
    }
    SoundPlayer& player = soundPlayer();
    player.load(SFX::Explosion, argv[1]);
    player.setListenerPosition({0.f, 0.f});
    player.play(SFX::Explosion, {std::strtof(argv[2], nullptr), std::strtof(argv[3], nullptr)});
    for (int waited = 0; player.getSoundCount() > 0 && waited < 200; ++waited) {
        sf::sleep(sf::milliseconds(20));
        player.removeStoppedSounds();
    }
    sf::sleep(sf::milliseconds(200));
    return 0;
}
