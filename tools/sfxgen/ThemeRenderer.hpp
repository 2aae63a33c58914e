#pragma once

#include "Rendering.hpp"
#include "Theme.hpp"

namespace sfxgen {

// Plays the song into a stereo loop exactly as long as its bars. Anything that rings past the
// end (a released note, a cymbal, the echoes and the reverb) wraps round onto the start, so the
// file loops without a seam.
Rendering renderTheme(const Theme& theme);

} // namespace sfxgen
