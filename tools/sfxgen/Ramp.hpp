#pragma once

namespace sfxgen {

// A value that moves from `from` to `to` over `time` seconds and then stays (written
// "from->to@time" in a description; a plain number never moves). Pitches and cutoffs glide
// exponentially, so a sweep sounds even across octaves.
struct Ramp {
    double from = 0.0;
    double to = 0.0;
    double time = 0.0; // 0: the move lasts the whole sound
    bool exponential = false;

    static Ramp constant(double value) { return Ramp{value, value, 0.0, false}; }
    bool moving() const { return from != to; }
    double at(double seconds, double wholeLength) const;
};

} // namespace sfxgen
