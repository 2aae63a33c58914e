#pragma once

#include <algorithm>
#include <vector>

namespace sfxgen {

// Runs a mono-in, stereo-out effect over a looping buffer as if the loop had already been
// playing: after one pass, the first `settle` samples are processed again, continuing from the
// state the end left behind. The tail of the last bar's echoes and reverb thus lands on the
// first bar, and the seam is as smooth as any other moment of the music. `settle` must outlast
// the effect's decay.
template <typename Effect>
void processLooped(Effect& effect, const std::vector<float>& input, std::vector<float>& left,
                   std::vector<float>& right, std::size_t settle) {
    left.assign(input.size(), 0.0f);
    right.assign(input.size(), 0.0f);
    for (std::size_t i = 0; i < input.size(); ++i) {
        effect.process(input[i], left[i], right[i]);
    }
    settle = std::min(settle, input.size());
    for (std::size_t i = 0; i < settle; ++i) {
        effect.process(input[i], left[i], right[i]);
    }
}

} // namespace sfxgen
