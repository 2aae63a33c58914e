#pragma once

#include "DescriptionLine.hpp"
#include "Layer.hpp"
#include "Rendering.hpp"

#include <vector>

namespace sfxgen {

// A sound effect: layers summed into one mono channel (the game places effects in space, and
// OpenAL only spatialises mono sounds), with an optional echo.
struct Effect {
    std::vector<Layer> layers;
    double peakDecibels = -1.0;
    double echoTime = 0.0;
    double echoFeedback = 0.0;
};

// `lines` must start with the `effect` statement.
Effect parseEffect(const std::vector<DescriptionLine>& lines);

// Trims the silent tail and fades the first and last milliseconds so the effect starts and
// stops without a click.
Rendering renderEffect(const Effect& effect);

} // namespace sfxgen
