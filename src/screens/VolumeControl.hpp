#pragma once

#include "screens/Settings.hpp"

#include <SFML/System/Time.hpp>

#include <filesystem>
#include <memory>

namespace sf {
class Event;
class Font;
class RenderTarget;
} // namespace sf
class MusicPlayer;

class SettingsWriter;

// The player's settings as they stand, and the volume keys. Every change of the settings, by the
// volume keys, the options page or F11, goes through change(), which makes the volumes heard,
// shows the texts looked up from then on in the language chosen, and has the settings file written
// (by a SettingsWriter, without waiting for the disk). The volume keys act on music and effects
// together: the mute key (M unless the player chose another) mutes and unmutes, minus and plus
// lower and raise both by one step (and unmute), and the levels show on screen for a second after
// each press. With or without a sound device: without one there is just nothing to hear.
class VolumeControl {
public:
    static const sf::Time ShownFor;

    // Without a file (a demo, which touches no player's file) the settings start as the defaults
    // and last for this run only. The music player must outlive the control. The language of the
    // settings becomes the game's (Translation).
    VolumeControl(std::filesystem::path settingsFile, MusicPlayer& music);
    // Writes what is still to be written.
    ~VolumeControl();

    // Acts on the volume keys; true when the event was one of them. The screen decides whether its
    // keys go here: not while the player types a name.
    bool handleEvent(const sf::Event& event);
    // Real time, paused play or not.
    void update(sf::Time dt);
    // The levels in the top right corner of the window, while a change is shown.
    void draw(sf::RenderTarget& target, const sf::Font& font) const;

    const Settings& getSettings() const { return settings; }
    // Applies the volumes and keeps the settings; nothing happens when nothing changes.
    void change(const Settings& next);

private:
    void apply() const;

    Settings settings;
    MusicPlayer& music;
    std::unique_ptr<SettingsWriter> writer; // none without a file
    sf::Time shownLeft;
};
