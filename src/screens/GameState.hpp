#pragma once

#include "actors/PlayerInput.hpp"
#include "core/State.hpp"
#include "hud/PlayOverlay.hpp"
#include "world/World.hpp"

// The screen the game is played on: runs the world from the level the menu chose, turns held
// arrow keys into commands for the tank, and leaves (ending the program) on Escape, on game over,
// or when no level can be played. P pauses and resumes, and so does the window losing the focus
// (only P resumes): the world, its timers and the music stand still. Each level's number shows for
// two seconds of play as it starts, and a cleared level raises the player's best level reached.
class GameState : public State {
public:
    GameState(StateStack& stack, Context context);
    ~GameState() override;

    void draw() override;
    bool update(sf::Time dt) override;
    bool handleEvent(const sf::Event& event) override;

    World& getWorld() { return world; }

private:
    void setPaused(bool flag);
    void keepProgress();

    World world;
    PlayerInput input;
    PlayOverlay overlay;
    bool paused = false;
    bool levelCleared = false; // in the update that runs
};
