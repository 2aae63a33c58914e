#pragma once

#include <SFML/Audio/AlResource.hpp>
#include <SFML/System/NonCopyable.hpp>

#include <optional>

// The sound device, opened once for the whole process: the audio library shares one device among
// all its sounds and would close it whenever the last one goes. Where no device can be opened
// (no sound card, no sound server) every call into the audio library fails with a message, so the
// game says once that it runs without sound and makes no sound and no music.
class AudioDevice : sf::NonCopyable {
public:
    AudioDevice();

    bool isOpen() const { return open; }

private:
    // Any audio resource holds the library's device open while it lives.
    struct DeviceUser : sf::AlResource {};

    std::optional<DeviceUser> deviceUser;
    bool open = false;
};

// The process-wide device; opened on first use, closed after main returns.
const AudioDevice& audioDevice();
