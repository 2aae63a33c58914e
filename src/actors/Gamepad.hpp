#pragma once

#include "actors/Controls.hpp"

#include <SFML/Window/Joystick.hpp>
#include <SFML/Window/Keyboard.hpp>

#include <array>
#include <optional>

namespace sf {
class Event;
}
struct Bindings;

// The gamepad, mapped in this one place. A pad drives the tank as the arrow keys do: the D-pad or
// the left stick left and right, the jump button (the south face button, A or Cross, unless the
// player chose another) jumps. The pause button (Start unless chosen otherwise) pauses. On the
// menu's pages the D-pad or the stick up and down move the highlight and the jump button
// triggers it. Every connected pad counts, one plugged in while the game runs too, and the
// keyboard works alongside.
class Gamepad {
public:
    // One pad at one moment, as the multimedia library reports it.
    struct State {
        bool connected = false;
        unsigned buttonCount = 0;
        std::array<bool, sf::Joystick::ButtonCount> buttons{};
        // -100 to 100; left and up are negative.
        float x = 0.f;
        float y = 0.f;
        float povX = 0.f;
        float povY = 0.f;
    };

    // How far a stick or D-pad must be pushed to count.
    static constexpr float Threshold = 50.f;

    static State read(unsigned pad);
    // The three controls of the tank, as the pad holds them.
    static Controls drive(const State& pad, const Bindings& bindings);
    // Start: the eighth button on pads laid out like the Xbox ones, the tenth on pads that also
    // count their lower shoulder buttons as buttons (PlayStation, Switch Pro).
    static unsigned startButton(unsigned buttonCount);

    // The key a player would press for a pad's event: Return for the jump button, the pause key
    // for the pause button, Up and Down when the D-pad or the stick is pushed up or down (once per
    // push); nothing for the rest, and nothing at all while stand-in keys are held back.
    // buttonCount is that of the event's pad.
    std::optional<sf::Keyboard::Key> keyFor(const sf::Event& event, unsigned buttonCount,
                                            const Bindings& bindings);
    // While a screen reads the pads' own buttons (to bind one), their events stand for no key.
    void holdBackKeys(bool flag) { keysHeldBack = flag; }

private:
    bool keysHeldBack = false;
    // Per pad, where the stick and the D-pad last pointed up or down: -1, 0 or 1.
    std::array<std::array<int, 2>, sf::Joystick::Count> vertical{};
};
