#include "core/State.hpp"

#include "core/StateStack.hpp"

State::State(StateStack& stack, Context context) : context(context), stack(&stack) {}

State::~State() = default;

void State::requestPush(States::States id) {
    stack->push(id);
}

void State::requestPop() {
    stack->pop();
}

void State::requestClear() {
    stack->clear();
}

State::Context State::getContext() const {
    return context;
}
