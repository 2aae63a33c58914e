#pragma once

#include "actors/Controls.hpp"
#include "autoplay/PlayerView.hpp"

#include <deque>

// The automatic player's reaction time: what it sees reaches it a number of steps late, and it
// remembers the controls it held since, as a player knows which keys they pressed. A new level
// starts with nothing seen yet: its first view is all there is until the delay has passed.
class Reaction {
public:
    explicit Reaction(int steps) : delay(steps < 0 ? 0 : steps) {}

    // After every step: what the window shows now. Returns what the player sees now.
    const PlayerView& look(PlayerView now);
    // How many steps ago what it sees now happened.
    int age() const { return static_cast<int>(views.size()) - 1; }
    // The controls held after the step it sees and every one since, the oldest first.
    const std::deque<Controls>& controlsSince() const { return held; }
    // The controls it holds now, after deciding on them.
    void hold(const Controls& controls);

private:
    int delay;
    std::deque<PlayerView> views; // the newest last; the front is what it sees
    std::deque<Controls> held;
};
