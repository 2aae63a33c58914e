#include "Effect.hpp"

#include "DescriptionError.hpp"
#include "FieldReader.hpp"

#include <algorithm>
#include <cmath>

namespace sfxgen {
namespace {

constexpr double fadeIn = 0.004;
constexpr double fadeOut = 0.006;

void addEcho(std::vector<float>& samples, double time, double feedback) {
    const auto delay = static_cast<std::size_t>(time * sampleRate);
    float smoothed = 0.0f;
    // Each repeat is a little duller than the one before, like a real room.
    for (std::size_t i = delay; i < samples.size(); ++i) {
        smoothed += 0.5f * (samples[i - delay] - smoothed);
        samples[i] += static_cast<float>(feedback) * smoothed;
    }
}

} // namespace

Effect parseEffect(const std::vector<DescriptionLine>& lines) {
    Effect effect;
    FieldReader header(lines.front());
    effect.peakDecibels = header.number("level", -1.0, -40.0, -0.1);
    effect.echoTime = header.number("echo", 0.0, 0.0, 1.0);
    effect.echoFeedback = header.number("feedback", 0.3, 0.0, 0.9);
    header.finish();
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const DescriptionLine& line = lines[i];
        if (line.keyword != "layer") {
            throw DescriptionError(line.file, line.number,
                                   "unknown statement '" + line.keyword +
                                       "' in an effect (expected 'layer')");
        }
        effect.layers.push_back(parseLayer(line));
    }
    if (effect.layers.empty()) {
        const DescriptionLine& line = lines.front();
        throw DescriptionError(line.file, line.number, "an effect needs at least one layer");
    }
    return effect;
}

Rendering renderEffect(const Effect& effect) {
    double length = 0.0;
    for (const Layer& layer : effect.layers) {
        length = std::max(length, layer.start + layer.length());
    }
    if (effect.echoTime > 0.0 && effect.echoFeedback > 0.0) {
        // Long enough for the repeats to fall below -60 dB.
        length += effect.echoTime * std::ceil(std::log(0.001) / std::log(effect.echoFeedback));
    }
    Rendering result;
    result.channels = 1;
    result.peakDecibels = effect.peakDecibels;
    std::vector<float>& out = result.samples;
    out.assign(static_cast<std::size_t>(std::ceil(length * sampleRate)) + 1, 0.0f);
    for (const Layer& layer : effect.layers) {
        const std::vector<float> voice = renderLayer(layer, sampleRate);
        const auto offset = static_cast<std::size_t>(layer.start * sampleRate);
        for (std::size_t i = 0; i < voice.size() && offset + i < out.size(); ++i) {
            out[offset + i] += voice[i];
        }
    }
    if (effect.echoTime > 0.0 && effect.echoFeedback > 0.0) {
        addEcho(out, effect.echoTime, effect.echoFeedback);
    }

    float peak = 0.0f;
    for (const float s : out) {
        peak = std::max(peak, std::fabs(s));
    }
    const float silence = peak * 0.0005f; // -66 dB below the peak
    std::size_t end = out.size();
    while (end > 0 && std::fabs(out[end - 1]) <= silence) {
        --end;
    }
    const auto fadeOutSamples = static_cast<std::size_t>(fadeOut * sampleRate);
    out.resize(std::max(end, fadeOutSamples));
    const auto fadeInSamples = static_cast<std::size_t>(fadeIn * sampleRate);
    for (std::size_t i = 0; i < fadeInSamples && i < out.size(); ++i) {
        out[i] *= static_cast<float>(i) / fadeInSamples;
    }
    for (std::size_t i = 0; i < fadeOutSamples && i < out.size(); ++i) {
        out[out.size() - 1 - i] *= static_cast<float>(i) / fadeOutSamples;
    }
    return result;
}

} // namespace sfxgen
