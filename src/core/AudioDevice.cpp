#include "core/AudioDevice.hpp"

#include <AL/alc.h>
#include <SFML/System/Err.hpp>

#include <iostream>
#include <sstream>

AudioDevice::AudioDevice() {
    // The library's own complaint about a missing device is held back, so the player reads one
    // message that says what follows from it.
    std::ostringstream libraryMessages;
    std::streambuf* const errorStream = sf::err().rdbuf(libraryMessages.rdbuf());
    deviceUser.emplace();
    sf::err().rdbuf(errorStream);
    // The library makes its context current as soon as it has opened the device.
    open = alcGetCurrentContext() != nullptr;
    if (open)
        sf::err() << libraryMessages.str();
    else
        std::cerr << "No sound device can be opened: the game runs without sound\n";
}

const AudioDevice& audioDevice() {
    static const AudioDevice instance;
    return instance;
}
