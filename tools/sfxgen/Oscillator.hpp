#pragma once

#include <cstdint>

namespace sfxgen {

enum class Wave { Sine, Triangle, Saw, Pulse, Noise, ChipNoise };

// A band-limited oscillator (PolyBLEP edges, so high notes and sweeps do not alias into
// whistles). Noise is white; ChipNoise holds each random value for one period of the
// oscillator's frequency, the gritty noise of old sound chips.
class Oscillator {
public:
    Oscillator(Wave wave, std::uint32_t seed, double phase);

    // Advances by one sample; `increment` is frequency / sample rate (negative runs the wave
    // backwards, which deep FM needs), `duty` the pulse width.
    float next(double increment, double duty);

private:
    float noise();

    Wave mWave;
    std::uint32_t mState;
    double mPhase;
    float mHeld = 0.0f;
};

// sin(2 pi cycles) from a table: the themes call it tens of millions of times.
float fastSine(double cycles);

} // namespace sfxgen
