#pragma once

#include "actors/PlayerInput.hpp"
#include "core/State.hpp"
#include "world/World.hpp"

// The screen the game is played on: runs the world, turns held arrow keys into commands for the
// tank, and leaves (ending the program) on Escape, on game over, or when no level can be played.
class GameState : public State {
public:
    GameState(StateStack& stack, Context context);
    ~GameState() override;

    void draw() override;
    bool update(sf::Time dt) override;
    bool handleEvent(const sf::Event& event) override;

    World& getWorld() { return world; }

private:
    World world;
    PlayerInput input;
};
