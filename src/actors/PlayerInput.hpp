#pragma once

#include "actors/Bindings.hpp"
#include "actors/Controls.hpp"

class CommandQueue;

namespace sf {
class Event;
class Window;
} // namespace sf

// The person at the keyboard and the gamepads (see Gamepad): the keys bound to driving left and
// right and to jumping (Left, Right and Up unless the player chose others), and a pad's controls
// alongside them. Input is polled after each world step, so the commands run in the next one.
class PlayerInput {
public:
    explicit PlayerInput(const Bindings& bindings = Bindings()) : bindings(bindings) {}

    // Events are not used: driving is read from the keyboard's state.
    void handleEvent(const sf::Event& event, CommandQueue& commands);
    // What the bound keys and every pad hold now together. The keyboard's state is that of the
    // whole desktop, so keys and pads count only while the game's window has the keyboard focus:
    // typing in another window does not drive the tank.
    Controls read(const sf::Window& window) const;

private:
    Bindings bindings;
};
