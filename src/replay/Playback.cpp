#include "replay/Playback.hpp"

#include "world/Physics.hpp"

#include <algorithm>

namespace {
// The most a replay plays in one update: ten steps of a 60 Hz frame.
const sf::Int64 MaxStepsBehind = 10;
} // namespace

Playback::Playback(Recording recording) : recording(std::move(recording)) {
    if (!this->recording.empty())
        lastOutcome.level = this->recording.levels.front().number;
}

void Playback::advance(sf::Time dt) {
    pending = std::min(pending + dt, MaxStepsBehind * Physics::Step);
}

std::optional<Playback::Step> Playback::next() {
    // Levels without steps are passed over, as the world never played them.
    while (level < recording.levels.size() && run >= recording.levels[level].steps.size()) {
        ++level;
        run = 0;
    }
    if (level >= recording.levels.size())
        return std::nullopt;
    const Recording::Steps& steps = recording.levels[level].steps[run];
    const sf::Time time = sf::microseconds(steps.micros);
    if (pending < time)
        return std::nullopt;
    pending -= time;
    if (++inRun == steps.count) {
        inRun = 0;
        ++run;
    }
    return Step{time, steps.controls};
}

void Playback::played(const Recording::Outcome& outcome) {
    lastOutcome = outcome;
    const Recording::Level& recorded =
        recording.levels[std::min(level, recording.levels.size() - 1)];
    const bool levelOver = run >= recorded.steps.size();
    if (levelOver) {
        const Recording::Outcome expected = recorded.outcome();
        if (outcome != expected)
            differs("the recording has " + Recording::describe(expected) + ", the replay " +
                    Recording::describe(outcome));
    } else if (outcome.end != Recording::End::Stopped) {
        differs("the replay has " + Recording::describe(outcome) + ", before the recording has " +
                Recording::describe(recorded.outcome()));
    }
}

bool Playback::finished() const {
    for (std::size_t i = level; i < recording.levels.size(); ++i)
        if ((i == level ? run : 0) < recording.levels[i].steps.size())
            return false;
    return true;
}

void Playback::differs(const std::string& what) {
    if (firstDifference.empty())
        firstDifference = what;
}
