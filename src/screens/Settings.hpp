#pragma once

#include "actors/Bindings.hpp"

#include <filesystem>
#include <string>

// What the player chose that holds for every player of this computer: the keys and pad buttons,
// fullscreen or a window, vertical sync, the volumes of music and effects and whether they are
// muted, whether the level's running time shows over play, and the language. Kept in a small text
// file beside the players' folder, one setting per line, its name and its value ("key-jump Space",
// "music 70", "fullscreen no"). A missing file gives the defaults; a setting that is missing,
// unknown, unreadable or out of range reads as its default, and what is wrong is reported once. The
// line "volume N" of older files sets both volumes.
struct Settings {
    static constexpr const char* FileName = "Settings.txt";
    static constexpr int MaxVolume = 100;
    static constexpr int VolumeStep = 10;

    Bindings controls;
    bool fullscreen = true;
    bool vsync = true;
    // In percent: 0 to MaxVolume in steps of VolumeStep.
    int music = MaxVolume;
    int effects = MaxVolume;
    bool muted = false;
    // The level's running time shows over play.
    bool timer = false;
    // Empty until the player chooses one.
    std::string language;

    static Settings read(const std::filesystem::path& file);
    // The file's lines.
    std::string text() const;
    // Replaces the file in one step; false, with the reason in problem, when it cannot be written.
    // The game writes through a SettingsWriter, which says once per run what went wrong.
    bool write(const std::filesystem::path& file, std::string& problem) const;

    bool operator==(const Settings& other) const;
    bool operator!=(const Settings& other) const { return !(*this == other); }
};
