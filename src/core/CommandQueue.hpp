#pragma once

#include "core/Command.hpp"

#include <deque>

// First-in first-out queue of commands. One instance serves the whole process (commandQueue()):
// any node may push; the world drains it once per update and once after building a level.
class CommandQueue {
public:
    void push(const Command& command);
    // Returns an empty command (no action, category 0) when the queue is empty.
    Command pop();
    bool isEmpty() const;
    std::size_t size() const { return queue.size(); }

private:
    std::deque<Command> queue;
};

// The process-wide queue; created on first use, destroyed after main returns.
CommandQueue& commandQueue();
