#pragma once

#include <filesystem>
#include <string>

// What the player chose that holds for every player of this computer: the volume of music and
// effects, and whether they are muted. Kept in a small text file beside the players' folder, one
// setting per line ("volume 70", "muted no"). A missing file gives the defaults; a setting that is
// missing, unreadable or out of range reads as its default, and what is wrong is reported.
struct Settings {
    static constexpr const char* FileName = "Settings.txt";
    static constexpr int MaxVolume = 100;
    static constexpr int VolumeStep = 10;

    // In percent: 0 to MaxVolume in steps of VolumeStep.
    int volume = MaxVolume;
    bool muted = false;

    static Settings read(const std::filesystem::path& file);
    // Replaces the file in one step; false, with the reason in problem, when it cannot be written.
    // The game writes through a SettingsWriter, which says once per run what went wrong.
    bool write(const std::filesystem::path& file, std::string& problem) const;

    bool operator==(const Settings& other) const {
        return volume == other.volume && muted == other.muted;
    }
};
