#pragma once

#include "replay/PlayerRuns.hpp"
#include "replay/Recording.hpp"

#include <filesystem>
#include <optional>

// Records the game as it is played, step by step and level by level, and hands every level that
// ends to where it is kept: the player's runs (each level on its own), and a file named on the
// command line (everything recorded so far, written again as each level ends). Whoever plays
// ends the level in play before the recorder goes (as stopped, when play simply ends).
class RunRecorder {
public:
    // Records play laid out in the given size; no player's runs or no file (empty) are fine.
    RunRecorder(sf::Vector2u layout, std::optional<PlayerRuns> runs, std::filesystem::path file);

    // The level whose file the world has just loaded starts.
    void startLevel(int level);
    // After every step of play: its length, how the level stands after it (a cleared level or a
    // game over ends the level), the level in play now (after a clear, the next one; 0 for none),
    // and the controls just queued, which act in the next step.
    void stepped(sf::Time dt, const Recording::Outcome& outcome, int levelInPlay,
                 const Controls& queued);
    // The level in play ends as the outcome says; one without a step is not kept.
    void endLevel(const Recording::Outcome& outcome);

private:
    Recording session;
    std::optional<Recording::Level> current;
    Controls held; // queued after the last step: they act in the next
    std::optional<PlayerRuns> runs;
    std::filesystem::path file;
};
