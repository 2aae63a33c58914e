#include "InstrumentVoice.hpp"

#include "Oscillator.hpp"
#include "Rendering.hpp"
#include "Svf.hpp"

#include <algorithm>
#include <cmath>

namespace sfxgen {
namespace {

// Envelopes run as recurrences (one multiply per sample) instead of calling exp() per sample.
class Adsr {
public:
    Adsr(const Instrument& in, double held)
        : mAttack(static_cast<std::size_t>(in.attack * sampleRate)),
          mGate(static_cast<std::size_t>(held * sampleRate)),
          mRelease(static_cast<std::size_t>(in.release * sampleRate)), mSustain(in.sustain),
          mDecayStep(std::exp(-4.0 / (in.decay * sampleRate))),
          mReleaseStep(std::exp(-3.0 / (in.release * sampleRate))) {
        mAttack = std::max<std::size_t>(mAttack, 1);
    }

    std::size_t length() const { return mGate + mRelease; }

    float next() {
        double level = 0.0;
        if (mIndex < mGate) {
            if (mIndex < mAttack) {
                level = static_cast<double>(mIndex) / mAttack;
            } else {
                level = mSustain + (1.0 - mSustain) * mDecay;
                mDecay *= mDecayStep;
            }
            mLevelAtGate = level;
        } else {
            const double x = static_cast<double>(mIndex - mGate) / mRelease;
            level = mLevelAtGate * mReleaseCurve * std::max(0.0, 1.0 - x);
            mReleaseCurve *= mReleaseStep;
        }
        ++mIndex;
        return static_cast<float>(level);
    }

private:
    std::size_t mAttack, mGate, mRelease;
    double mSustain, mDecayStep, mReleaseStep;
    double mDecay = 1.0;
    double mReleaseCurve = 1.0;
    double mLevelAtGate = 0.0;
    std::size_t mIndex = 0;
};

} // namespace

void renderNote(const Instrument& in, double frequency, double held, std::uint32_t seed,
                std::vector<float>& out) {
    Adsr envelope(in, held);
    const std::size_t count = envelope.length();
    out.assign(count, 0.0f);

    std::vector<Oscillator> voices;
    std::vector<double> increments;
    for (int v = 0; v < in.voices; ++v) {
        const double spread = in.voices > 1 ? double(v) / (in.voices - 1) - 0.5 : 0.0;
        increments.push_back(frequency * std::pow(2.0, spread * in.detune / 1200.0) / sampleRate);
        const double phase =
            in.voices > 1 ? (seed * 2654435761u + v * 40503u) % 1000 / 1000.0 : 0.0;
        voices.emplace_back(in.wave, seed * 31u + v + 1, phase);
    }
    const float voiceScale = 1.0f / std::sqrt(static_cast<float>(in.voices));

    const bool filtered = in.cutoff < 19000.0 || in.filterEnvelope > 0.0;
    Svf filter(Svf::Mode::Low);
    double filterOpen = 1.0;
    const double filterStep = std::exp(-1.0 / (in.filterDecay * sampleRate));

    const double fmIncrement = frequency * in.fmRatio / sampleRate;
    double fmPhase = 0.0;
    double fmIndex = in.fmIndex;
    const double fmStep = in.fmDecay > 0.0 ? std::exp(-1.0 / (in.fmDecay * sampleRate)) : 1.0;

    const auto vibratoStart = static_cast<std::size_t>(in.vibratoDelay * sampleRate);
    const double vibratoFade = 0.25 * sampleRate;
    const double driveNorm = in.drive > 0.0 ? 1.0 / std::tanh(in.drive) : 1.0;

    for (std::size_t i = 0; i < count; ++i) {
        double bend = 1.0;
        if (in.vibratoDepth > 0.0 && i > vibratoStart) {
            const double fade = std::min((i - vibratoStart) / vibratoFade, 1.0);
            const double semitones =
                in.vibratoDepth * fade * fastSine(in.vibratoRate * i / sampleRate);
            bend = std::exp2(semitones / 12.0);
        }
        if (in.fmRatio > 0.0) {
            bend *= 1.0 + fmIndex * in.fmRatio * fastSine(fmPhase);
            fmPhase += fmIncrement;
            fmIndex *= fmStep;
        }
        float sample = 0.0f;
        for (std::size_t v = 0; v < voices.size(); ++v) {
            sample += voices[v].next(increments[v] * bend, in.duty);
        }
        sample *= voiceScale;
        if (filtered) {
            if (i % 16 == 0) {
                filter.tune(in.cutoff * std::exp2(in.filterEnvelope * filterOpen), in.q,
                            sampleRate);
            }
            filterOpen *= filterStep;
            sample = filter.process(sample);
        }
        sample *= envelope.next();
        if (in.drive > 0.0) {
            sample = static_cast<float>(std::tanh(sample * in.drive) * driveNorm);
        }
        out[i] = sample;
    }
}

} // namespace sfxgen
