#pragma once

class CommandQueue;

namespace sf {
class Event;
class Window;
} // namespace sf

// Turns the held arrow keys, and what the gamepads hold (see Gamepad), into commands for the
// tank. Input is polled once per frame, after the world's update, so the commands run in the next
// world update.
class PlayerInput {
public:
    static constexpr float DriveAcceleration = 900.f;

    // Events are not used: driving is read from the keyboard's state.
    void handleEvent(const sf::Event& event, CommandQueue& commands);
    // Left, Right, Up, each tested on its own and queued in that order; with Left and Right both
    // held, Right runs last and wins. A released key sends nothing. The keyboard's state is that
    // of the whole desktop, so keys and pads count only while the game's window has the keyboard
    // focus: typing in another window does not drive the tank.
    void handleRealtimeInput(const sf::Window& window, CommandQueue& commands);
};
