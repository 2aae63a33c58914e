#pragma once

#include "Theme.hpp"

#include <cstdint>
#include <vector>

namespace sfxgen {

// Renders one note of `instrument` into `out` (resized to fit): held for `held` seconds, then
// released to silence. `seed` varies the oscillators' starting phases from note to note.
void renderNote(const Instrument& instrument, double frequency, double held, std::uint32_t seed,
                std::vector<float>& out);

} // namespace sfxgen
