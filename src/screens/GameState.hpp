#pragma once

#include "actors/PlayerInput.hpp"
#include "autoplay/AutoPlayer.hpp"
#include "autoplay/WorldSight.hpp"
#include "core/State.hpp"
#include "hud/PlayOverlay.hpp"
#include "replay/Playback.hpp"
#include "replay/RunRecorder.hpp"
#include "world/World.hpp"

#include <memory>
#include <optional>

// The screen the game is played on: runs the world from the level the menu chose, with the keys
// and pads at the controls, or in a demo from level 1 with the automatic player (played in steps
// of exactly 1/60 s), or plays a recording back; and leaves (ending the program) on Escape, on game
// over, when a replay ends, or when no level can be played. The pause key (P unless the player
// chose another) pauses and resumes, and so does the window losing the focus while a person plays
// (only the pause key resumes), or a frame of over a second (the game stood still): the world, its
// timers and the music stand still. At most a quarter of a second is played in one frame. Each
// level's number shows for two seconds of play as it starts, and a cleared level raises the
// player's best level reached.
//
// What is played is recorded step by step: a player's runs are kept beside their file, and
// everything is written into the file --record names. A replay started from the menu goes back to
// the menu; one from the command line prints how its last level stood and ends the program.
// Asked to end after a level, it prints a line for every level cleared and leaves once that level
// is cleared (exit status 0), or with exit status 1 when the game is over, when that level was
// skipped (it cannot be loaded or played) or when no level can be played.
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
    // Runs the world with a person or the automatic player at the controls.
    void play(sf::Time dt);
    void afterStep();
    // A person's keys are read as late as they can be, just before the step they drive (a frame
    // sooner than after the step before, which may end the frame before); recorded all the same
    // with the step before, after which they were queued.
    void beforeStep();
    // Reads the controls for the step after the one awaiting them and records that step with them.
    std::optional<Controls> recordAwaitedStep();
    void replay(sf::Time dt);
    // How the level stands after the step just played, or how the step ended it.
    Recording::Outcome stepOutcome();
    Controls controls();
    void report(int level);
    // Whether the world has skipped the level to end after on its way to the level it plays.
    bool skippedExitLevel() const;
    void leave(int status);
    void endReplay();

    World world;
    PlayerInput input;
    PlayOverlay overlay;
    std::unique_ptr<AutoPlayer> autoPlayer; // null unless this is a demo
    WorldSight sight;                       // what the automatic player is shown of the world
    std::unique_ptr<Playback> playback;     // null unless this is a replay
    std::unique_ptr<RunRecorder> recorder;  // null when nothing is recorded
    std::optional<Recording::Outcome> clearedInStep;
    // A step a person played, whose controls are read before the next step.
    struct Played {
        sf::Time dt;
        Recording::Outcome outcome;
        int levelInPlay;
    };
    std::optional<Played> awaitingControls;
    sf::Time pending; // real time a demo has not played yet
    int exitAfterLevel = 0;
    int expectedLevel = 1; // the level played next unless levels are skipped on the way
    bool showTime = false;
    bool paused = false;
    bool updated = false;
    bool levelCleared = false; // in the update that runs
    bool gameOver = false;
    bool leaving = false;
};
