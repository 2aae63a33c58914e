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

// The volume of music and effects together, as the player sets it: M mutes and unmutes, minus and
// plus lower and raise it by one step (and unmute). It starts as the settings file says, every
// change is written back there (by a SettingsWriter, without waiting for the disk), and the level
// shows on screen for a second after each change.
// With or without a sound device: without one there is just nothing to hear.
class SettingsWriter;

class VolumeControl {
public:
    static const sf::Time ShownFor;

    // Without a file (a demo, which touches no player's file) the settings start as the defaults
    // and last for this run only.
    explicit VolumeControl(std::filesystem::path settingsFile);
    // Writes what is still to be written.
    ~VolumeControl();

    // Acts on the volume keys; true when the event was one of them. The screen decides whether its
    // keys go here: not while the player types a name.
    bool handleEvent(const sf::Event& event);
    // Real time, paused play or not.
    void update(sf::Time dt);
    // The level in the top right corner of the window, while a change is shown.
    void draw(sf::RenderTarget& target, const sf::Font& font) const;

    const Settings& getSettings() const { return settings; }

private:
    void change(const Settings& next);

    Settings settings;
    std::unique_ptr<SettingsWriter> writer; // none without a file
    sf::Time shownLeft;
};
