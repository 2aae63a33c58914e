#pragma once

#include "Rendering.hpp"

#include <string>

namespace sfxgen {

// Renders a whole description: an effect when its first statement is `effect`, a looping theme
// when it is `theme`. `file` is only used in error messages. Throws DescriptionError.
Rendering renderDescription(const std::string& text, const std::string& file);

} // namespace sfxgen
