#pragma once

#include <optional>
#include <string>

// The window library ends the process (an abort) when it cannot reach an X display, so the game
// asks first and can say why it cannot start.
namespace DisplayProbe {

// Why no display can be opened; nothing when one can.
std::optional<std::string> whyUnavailable();

} // namespace DisplayProbe
