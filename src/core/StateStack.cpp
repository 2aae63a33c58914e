#include "core/StateStack.hpp"

#include <iostream>

StateStack::StateStack(State::Context context) : context(context) {}

void StateStack::handleEvent(const sf::Event& event) {
    for (auto it = stack.rbegin(); it != stack.rend(); ++it)
        if (!(*it)->handleEvent(event))
            break;
    applyPendingChanges();
}

void StateStack::update(sf::Time dt) {
    for (auto it = stack.rbegin(); it != stack.rend(); ++it)
        if (!(*it)->update(dt))
            break;
    applyPendingChanges();
}

void StateStack::draw() {
    for (auto& state : stack)
        state->draw();
}

void StateStack::push(States::States id) {
    pendingList.push_back({Push, id});
}

void StateStack::pop() {
    pendingList.push_back({Pop, States::None});
}

void StateStack::clear() {
    pendingList.push_back({Clear, States::None});
}

bool StateStack::isEmpty() const {
    return stack.empty();
}

void StateStack::applyPendingChanges() {
    // Changes requested by constructors or destructors of the screens below are carried out in
    // the same pass, after the ones already queued.
    for (std::size_t i = 0; i < pendingList.size(); ++i) {
        const PendingChange change = pendingList[i];
        switch (change.action) {
        case Push:
            if (auto state = createState(change.stateID))
                stack.push_back(std::move(state));
            break;
        case Pop:
            if (stack.empty())
                std::cerr << "Screen stack: a pop was requested with no screen on the stack; "
                             "ignored\n";
            else
                stack.pop_back();
            break;
        case Clear:
            stack.clear();
            break;
        }
    }
    pendingList.clear();
}

State::Ptr StateStack::createState(States::States id) {
    const auto found = factories.find(id);
    if (found == factories.end()) {
        std::cerr << "Screen stack: no screen is registered for identifier "
                  << static_cast<long>(id) << "; the request is ignored\n";
        return nullptr;
    }
    return found->second();
}
