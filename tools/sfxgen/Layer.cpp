#include "Layer.hpp"

#include "FieldReader.hpp"

#include <algorithm>
#include <cmath>

namespace sfxgen {
namespace {

using Scale = FieldReader::Scale;

// Attack rises in a straight line; the release bends down by `curve` and lands exactly on
// zero, so a layer never stops with a click.
float envelopeAt(const Layer& layer, double t) {
    if (t < layer.attack) {
        return static_cast<float>(t / layer.attack);
    }
    const double sinceHold = t - layer.attack - layer.hold;
    if (sinceHold <= 0.0) {
        return 1.0f;
    }
    const double x = std::min(sinceHold / layer.release, 1.0);
    return static_cast<float>(std::exp(-layer.curve * x) * (1.0 - x));
}

} // namespace

Wave readWave(FieldReader& fields) {
    const std::string name =
        fields.choice("wave", {"sine", "triangle", "saw", "square", "pulse", "noise", "chipnoise"});
    if (name == "triangle") {
        return Wave::Triangle;
    }
    if (name == "saw") {
        return Wave::Saw;
    }
    if (name == "square" || name == "pulse") {
        return Wave::Pulse;
    }
    if (name == "noise") {
        return Wave::Noise;
    }
    if (name == "chipnoise") {
        return Wave::ChipNoise;
    }
    return Wave::Sine;
}

Layer parseLayer(const DescriptionLine& line) {
    FieldReader fields(line);
    Layer layer;
    layer.wave = readWave(fields);
    layer.frequency = fields.ramp("freq", 440.0, 1.0, 20000.0, Scale::Frequency);
    layer.duty = fields.ramp("duty", 0.5, 0.02, 0.98, Scale::Linear);
    layer.start = fields.number("at", 0.0, 0.0, 10.0);
    layer.amplitude = fields.number("amp", 1.0, 0.0, 10.0);
    layer.attack = fields.number("attack", 0.002, 0.0005, 10.0);
    layer.hold = fields.number("hold", 0.0, 0.0, 10.0);
    layer.release = fields.number("release", 0.1, 0.001, 10.0);
    layer.curve = fields.number("curve", 3.0, 0.0, 20.0);
    const std::string filter = fields.choice("filter", {"none", "low", "high", "band"});
    if (filter == "low") {
        layer.filter = Svf::Mode::Low;
    } else if (filter == "high") {
        layer.filter = Svf::Mode::High;
    } else if (filter == "band") {
        layer.filter = Svf::Mode::Band;
    }
    layer.cutoff = fields.ramp("cutoff", 2000.0, 10.0, 20000.0, Scale::Frequency);
    if (!layer.filter && fields.has("cutoff")) {
        fields.fail("'cutoff' needs a filter (filter=low, high or band)");
    }
    layer.q = fields.number("q", 0.707, 0.1, 30.0);
    layer.vibratoRate = fields.ramp("vibrato", 0.0, 0.0, 200.0, Scale::Linear);
    layer.vibratoDepth = fields.ramp("vibdepth", 0.0, 0.0, 48.0, Scale::Linear);
    layer.fmRatio = fields.number("fm", 0.0, 0.0, 32.0);
    layer.fmIndex = fields.ramp("index", 0.0, 0.0, 50.0, Scale::Linear);
    layer.arpeggio = fields.list("arp", -48.0, 48.0);
    layer.arpeggioStep = fields.number("arpstep", 0.05, 0.005, 2.0);
    layer.voices = static_cast<int>(fields.number("voices", 1, 1, 16));
    layer.detune = fields.number("detune", 0.0, 0.0, 1200.0);
    layer.drive = fields.number("drive", 0.0, 0.0, 50.0);
    layer.bits = static_cast<int>(fields.number("bits", 0, 0, 16));
    layer.decimate = static_cast<int>(fields.number("decimate", 1, 1, 64));
    layer.seed = static_cast<std::uint32_t>(fields.number("seed", 1, 1, 1e9));
    fields.finish();
    return layer;
}

std::vector<float> renderLayer(const Layer& layer, double sampleRate) {
    const double length = layer.length();
    const auto count = static_cast<std::size_t>(std::ceil(length * sampleRate));
    std::vector<float> out(count);

    std::vector<Oscillator> voices;
    std::vector<double> detune;
    for (int v = 0; v < layer.voices; ++v) {
        const double spread = layer.voices > 1 ? double(v) / (layer.voices - 1) - 0.5 : 0.0;
        detune.push_back(std::pow(2.0, spread * layer.detune / 1200.0));
        voices.emplace_back(layer.wave, layer.seed * 7919u + v * 104729u, v * 0.37);
    }
    Oscillator modulator(Wave::Sine, 1, 0.0);
    Svf filter(layer.filter.value_or(Svf::Mode::Low));
    const double driveNorm = layer.drive > 0.0 ? 1.0 / std::tanh(layer.drive) : 1.0;
    const double levels = layer.bits > 0 ? std::pow(2.0, layer.bits - 1) : 0.0;
    float held = 0.0f;
    double vibratoPhase = 0.0;

    for (std::size_t i = 0; i < count; ++i) {
        const double t = i / sampleRate;
        double semitones = 0.0;
        if (!layer.arpeggio.empty()) {
            const auto step = std::min(static_cast<std::size_t>(t / layer.arpeggioStep),
                                       layer.arpeggio.size() - 1);
            semitones += layer.arpeggio[step];
        }
        const double depth = layer.vibratoDepth.at(t, length);
        if (depth > 0.0) {
            vibratoPhase += layer.vibratoRate.at(t, length) / sampleRate;
            semitones += depth * fastSine(vibratoPhase);
        }
        double frequency = layer.frequency.at(t, length) * std::exp2(semitones / 12.0);
        if (layer.fmRatio > 0.0) {
            const double modFrequency = frequency * layer.fmRatio;
            frequency += layer.fmIndex.at(t, length) * modFrequency *
                         modulator.next(modFrequency / sampleRate, 0.5);
        }
        const double duty = layer.duty.at(t, length);
        float sample = 0.0f;
        for (std::size_t v = 0; v < voices.size(); ++v) {
            sample += voices[v].next(frequency * detune[v] / sampleRate, duty);
        }
        sample /= std::sqrt(static_cast<float>(voices.size()));
        if (layer.filter) {
            if (i % 8 == 0) {
                filter.tune(layer.cutoff.at(t, length), layer.q, sampleRate);
            }
            sample = filter.process(sample);
        }
        sample *= envelopeAt(layer, t);
        if (layer.drive > 0.0) {
            sample = static_cast<float>(std::tanh(sample * layer.drive) * driveNorm);
        }
        if (levels > 0.0) {
            sample = static_cast<float>(std::round(sample * levels) / levels);
        }
        if (i % layer.decimate == 0) {
            held = sample;
        }
        out[i] = static_cast<float>(held * layer.amplitude);
    }
    return out;
}

} // namespace sfxgen
