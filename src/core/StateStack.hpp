#pragma once

#include "core/State.hpp"
#include "core/StateIdentifiers.hpp"

#include <SFML/System/NonCopyable.hpp>
#include <SFML/System/Time.hpp>

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

namespace sf {
class Event;
}

// Owns the live screens and applies requested changes only between passes, so no screen is ever
// destroyed while one of its own operations runs.
class StateStack : sf::NonCopyable {
public:
    enum Action : std::int32_t { Push = 0, Pop = 1, Clear = 2 };

    struct PendingChange {
        Action action = Push;
        States::States stateID = States::None;
    };

    explicit StateStack(State::Context context);

    // Registering an identifier again replaces its factory.
    template <typename T> void registerState(States::States id) {
        factories[id] = [this] { return State::Ptr(std::make_unique<T>(*this, context)); };
    }

    void handleEvent(const sf::Event& event);
    void update(sf::Time dt);
    void draw();

    void push(States::States id);
    void pop();
    void clear();

    bool isEmpty() const;
    std::size_t size() const { return stack.size(); }

private:
    void applyPendingChanges();
    State::Ptr createState(States::States id);

    std::vector<State::Ptr> stack;
    std::vector<PendingChange> pendingList;
    State::Context context;
    std::map<States::States, std::function<State::Ptr()>> factories;
};
