#pragma once

#include "DescriptionLine.hpp"
#include "Oscillator.hpp"
#include "Ramp.hpp"
#include "Svf.hpp"

#include <cstdint>
#include <optional>
#include <vector>

namespace sfxgen {

class FieldReader;

// One voice of an effect or drum: an oscillator or noise source through an optional filter,
// shaped by an attack / hold / release envelope, optionally saturated and bit-crushed.
// The `layer` statement's fields are documented in assets/audio/README.md.
struct Layer {
    Wave wave = Wave::Sine;
    Ramp frequency = Ramp::constant(440.0);
    Ramp duty = Ramp::constant(0.5);
    double start = 0.0;
    double amplitude = 1.0;
    double attack = 0.002;
    double hold = 0.0;
    double release = 0.1;
    double curve = 3.0; // how fast the release falls: 0 is a straight line
    std::optional<Svf::Mode> filter;
    Ramp cutoff = Ramp::constant(2000.0);
    double q = 0.707;
    Ramp vibratoRate = Ramp::constant(0.0);
    Ramp vibratoDepth = Ramp::constant(0.0); // semitones
    double fmRatio = 0.0;                    // modulator frequency / carrier frequency
    Ramp fmIndex = Ramp::constant(0.0);
    std::vector<double> arpeggio; // semitone offsets stepped through once, then held
    double arpeggioStep = 0.05;
    int voices = 1;
    double detune = 0.0; // cents between the outermost voices
    double drive = 0.0;
    int bits = 0;     // 0 leaves the resolution alone
    int decimate = 1; // hold each sample this many times
    std::uint32_t seed = 1;

    double length() const { return attack + hold + release; }
};

Layer parseLayer(const DescriptionLine& line);

// The `wave` field shared by layers and instruments (sine when absent).
Wave readWave(FieldReader& fields);

// The layer alone, from its own start (the `start` offset is left to the caller).
std::vector<float> renderLayer(const Layer& layer, double sampleRate);

} // namespace sfxgen
