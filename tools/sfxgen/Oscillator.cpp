#include "Oscillator.hpp"

#include <array>
#include <cmath>

namespace sfxgen {
namespace {

constexpr int tableSize = 4096;

const std::array<float, tableSize + 1>& sineTable() {
    static const auto table = [] {
        std::array<float, tableSize + 1> values{};
        for (int i = 0; i <= tableSize; ++i) {
            values[i] = static_cast<float>(std::sin(2.0 * M_PI * i / tableSize));
        }
        return values;
    }();
    return table;
}

// Correction that rounds off a unit step at phase 0 spread over one sample.
double polyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

} // namespace

float fastSine(double cycles) {
    const double wrapped = cycles - std::floor(cycles);
    const double position = wrapped * tableSize;
    const int index = static_cast<int>(position);
    const float fraction = static_cast<float>(position - index);
    const auto& table = sineTable();
    return table[index] + (table[index + 1] - table[index]) * fraction;
}

Oscillator::Oscillator(Wave wave, std::uint32_t seed, double phase)
    : mWave(wave), mState(seed == 0 ? 0x9e3779b9u : seed), mPhase(phase - std::floor(phase)) {
    mHeld = noise();
}

float Oscillator::noise() {
    mState ^= mState << 13;
    mState ^= mState >> 17;
    mState ^= mState << 5;
    return static_cast<float>(mState) * (2.0f / 4294967295.0f) - 1.0f;
}

float Oscillator::next(double increment, double duty) {
    const double t = mPhase;
    const double dt = std::fabs(increment);
    double value = 0.0;
    switch (mWave) {
    case Wave::Sine:
        value = fastSine(t);
        break;
    case Wave::Triangle:
        value = 4.0 * std::fabs(t - 0.5) - 1.0;
        break;
    case Wave::Saw:
        value = 2.0 * t - 1.0 - polyBlep(t, dt);
        break;
    case Wave::Pulse: {
        value = t < duty ? 1.0 : -1.0;
        double fall = t - duty;
        fall -= std::floor(fall);
        value += polyBlep(t, dt) - polyBlep(fall, dt);
        // Keeps the average at zero whatever the width, so narrow pulses do not thump.
        value += 1.0 - 2.0 * duty;
        break;
    }
    case Wave::Noise:
        value = noise();
        break;
    case Wave::ChipNoise:
        value = mHeld;
        break;
    }
    mPhase += increment;
    if (mPhase >= 1.0 || mPhase < 0.0) {
        mPhase -= std::floor(mPhase);
        if (mWave == Wave::ChipNoise) {
            mHeld = noise();
        }
    }
    return static_cast<float>(value);
}

} // namespace sfxgen
