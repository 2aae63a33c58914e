#pragma once

#include "replay/Recording.hpp"

#include <SFML/System/Time.hpp>

#include <optional>
#include <string>

// Plays a recording back: hands out its steps in order, each once the time given to it has come
// (real time in a window, 1/60 s an update at fixed steps), and compares how each level goes in
// the world with how it went when it was recorded. Whoever plays a step queues its controls, runs
// one world step of its length, and says how the level stands after it (played).
class Playback {
public:
    struct Step {
        sf::Time time;
        Controls controls;
    };

    explicit Playback(Recording recording);

    // Time passes; after a long hitch the replay falls behind rather than racing to catch up.
    void advance(sf::Time dt);
    // The next step when its time has come.
    std::optional<Step> next();
    // How the level stands after the step just handed out: a cleared level or a game over ends
    // the level it belongs to.
    void played(const Recording::Outcome& outcome);
    // Every step has been played.
    bool finished() const;

    // The level played last: the one in play, or the one the last step cleared or lost.
    const Recording::Outcome& last() const { return lastOutcome; }
    // Where the replay first went another way than the recording; empty while it has not.
    const std::string& difference() const { return firstDifference; }

private:
    void differs(const std::string& what);

    Recording recording;
    std::size_t level = 0; // in the recording
    std::size_t run = 0;   // in that level's steps
    std::int32_t inRun = 0;
    sf::Time pending;
    Recording::Outcome lastOutcome;
    std::string firstDifference;
};
