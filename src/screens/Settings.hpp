#pragma once

#include <filesystem>

// What the player chose that holds for every player of this computer: the volume of music and
// effects, whether they are muted, and whether the level's running time shows. Kept in a small text
// file beside the players' folder, one setting per line ("volume 70", "muted no", "timer yes"). A
// missing file gives the defaults; a setting that is missing, unreadable or out of range reads as
// its default, and what is wrong is reported.
struct Settings {
    static constexpr const char* FileName = "Settings.txt";
    static constexpr int MaxVolume = 100;
    static constexpr int VolumeStep = 10;

    // In percent: 0 to MaxVolume in steps of VolumeStep.
    int volume = MaxVolume;
    bool muted = false;
    // The level's running time shows over play.
    bool timer = false;

    static Settings read(const std::filesystem::path& file);
    // Replaces the file in one step; false (reported) when it cannot be written.
    bool write(const std::filesystem::path& file) const;

    bool operator==(const Settings& other) const {
        return volume == other.volume && muted == other.muted && timer == other.timer;
    }
};
