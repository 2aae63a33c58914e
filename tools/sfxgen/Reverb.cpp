#include "Reverb.hpp"

namespace sfxgen {
namespace {

// Mutually prime delays in samples at 44.1 kHz, so the echoes never line up into a pitch.
constexpr std::array<std::size_t, 8> combLengths = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr std::array<std::size_t, 4> allpassLengths = {556, 441, 341, 225};
constexpr std::size_t stereoSpread = 23;
constexpr float inputGain = 0.015f;

} // namespace

float Reverb::Comb::process(float input, float feedback, float damp) {
    const float output = buffer[index];
    store = output * (1.0f - damp) + store * damp;
    buffer[index] = input + store * feedback;
    index = index + 1 == buffer.size() ? 0 : index + 1;
    return output;
}

float Reverb::Allpass::process(float input) {
    const float delayed = buffer[index];
    buffer[index] = input + delayed * 0.5f;
    index = index + 1 == buffer.size() ? 0 : index + 1;
    return delayed - input;
}

float Reverb::Side::process(float input, float feedback, float damp) {
    float sum = 0.0f;
    for (Comb& comb : combs) {
        sum += comb.process(input, feedback, damp);
    }
    for (Allpass& allpass : allpasses) {
        sum = allpass.process(sum);
    }
    return sum;
}

Reverb::Reverb(double room, double damp)
    : mFeedback(static_cast<float>(0.7 + 0.28 * room)), mDamp(static_cast<float>(0.4 * damp)) {
    for (std::size_t i = 0; i < combLengths.size(); ++i) {
        mLeft.combs[i].buffer.assign(combLengths[i], 0.0f);
        mRight.combs[i].buffer.assign(combLengths[i] + stereoSpread, 0.0f);
    }
    for (std::size_t i = 0; i < allpassLengths.size(); ++i) {
        mLeft.allpasses[i].buffer.assign(allpassLengths[i], 0.0f);
        mRight.allpasses[i].buffer.assign(allpassLengths[i] + stereoSpread, 0.0f);
    }
}

void Reverb::process(float input, float& left, float& right) {
    const float scaled = input * inputGain;
    left = mLeft.process(scaled, mFeedback, mDamp);
    right = mRight.process(scaled, mFeedback, mDamp);
}

} // namespace sfxgen
