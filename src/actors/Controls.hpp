#pragma once

class CommandQueue;

// The three controls a player has, as held in one frame. Whoever plays (the keyboard, the
// automatic player) fills this record; queueCommands is the one place where it becomes commands
// for the tank.
struct Controls {
    static constexpr float DriveAcceleration = 900.f;

    bool left = false;
    bool right = false;
    bool jump = false;

    // Left, Right, Jump, each on its own and queued in that order: with Left and Right both held,
    // Right runs last and wins. A control not held sends nothing, so the tank keeps the drive the
    // last command left. Queued after a world step, the commands run in the next one.
    void queueCommands(CommandQueue& commands) const;
};
