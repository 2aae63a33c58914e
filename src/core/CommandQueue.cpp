#include "core/CommandQueue.hpp"

void CommandQueue::push(const Command& command) {
    queue.push_back(command);
}

Command CommandQueue::pop() {
    if (queue.empty())
        return Command{};
    Command command = queue.front();
    queue.pop_front();
    return command;
}

bool CommandQueue::isEmpty() const {
    return queue.empty();
}

CommandQueue& commandQueue() {
    static CommandQueue instance;
    return instance;
}
