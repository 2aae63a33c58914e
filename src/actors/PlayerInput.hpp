#pragma once

class CommandQueue;

namespace sf {
class Event;
}

// Turns the held arrow keys into commands for the tank. Input is polled once per frame, after
// the world's update, so the commands run in the next world update.
class PlayerInput {
public:
    static constexpr float DriveAcceleration = 900.f;

    // Events are not used: driving is read from the keyboard's state.
    void handleEvent(const sf::Event& event, CommandQueue& commands);
    // Left, Right, Up, each tested on its own and queued in that order; with Left and Right both
    // held, Right runs last and wins. A released key sends nothing.
    void handleRealtimeInput(CommandQueue& commands);
};
