#pragma once

#include <SFML/Window/Keyboard.hpp>

#include <array>
#include <optional>

// Which keys drive, jump, pause and mute, and which gamepad buttons jump and pause, as the player
// chose them. Every action has a key of its own: binding a key that another action has swaps the
// two, so no key ever does two things. A few keys are the game's own and are never bound.
struct Bindings {
    enum Action { Left, Right, Jump, Pause, Mute, ActionCount };

    // Escape leaves, F11 switches between fullscreen and a window, minus and plus set the volume.
    static constexpr std::array<sf::Keyboard::Key, 2> VolumeDown{sf::Keyboard::Hyphen,
                                                                 sf::Keyboard::Subtract};
    // '=' is '+' on most keyboards.
    static constexpr std::array<sf::Keyboard::Key, 2> VolumeUp{sf::Keyboard::Equal,
                                                               sf::Keyboard::Add};
    static constexpr sf::Keyboard::Key Leave = sf::Keyboard::Escape;
    static constexpr sf::Keyboard::Key SwitchWindow = sf::Keyboard::F11;
    // The buttons a pad reports at most.
    static constexpr unsigned PadButtons = 32;

    std::array<sf::Keyboard::Key, ActionCount> keys{sf::Keyboard::Left, sf::Keyboard::Right,
                                                    sf::Keyboard::Up, sf::Keyboard::P,
                                                    sf::Keyboard::M};
    // The south face button (A, Cross).
    unsigned padJump = 0;
    // None: Start, wherever the pad has it (see padPauseButton).
    std::optional<unsigned> padPause;

    sf::Keyboard::Key key(Action action) const { return keys[action]; }
    std::optional<Action> actionOf(sf::Keyboard::Key key) const;
    // False, and nothing changes, for a key of the game's own or an unknown one.
    bool bind(Action action, sf::Keyboard::Key key);
    static bool isGameKey(sf::Keyboard::Key key);
    // -1 for a key that lowers the volume, 1 for one that raises it, 0 for any other.
    static int volumeStep(sf::Keyboard::Key key);

    // The pause button of a pad with that many buttons.
    unsigned padPauseButton(unsigned buttonCount) const;
    // Jump or Pause to a button of a pad with that many buttons; the other of the two takes the
    // button it had when they meet. False for another action or a button out of range.
    bool bindPad(Action action, unsigned button, unsigned buttonCount);

    bool operator==(const Bindings& other) const {
        return keys == other.keys && padJump == other.padJump && padPause == other.padPause;
    }
    bool operator!=(const Bindings& other) const { return !(*this == other); }
};
