#pragma once

#include <vector>

namespace sfxgen {

constexpr double sampleRate = 44100.0;

// What a description renders to: interleaved samples, not yet normalised; `peakDecibels` is the
// level the loudest sample is scaled to when the file is written.
struct Rendering {
    unsigned channels = 1;
    std::vector<float> samples;
    double peakDecibels = -1.0;
};

} // namespace sfxgen
