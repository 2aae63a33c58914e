#pragma once

#include "DescriptionLine.hpp"
#include "Theme.hpp"

#include <string>
#include <vector>

namespace sfxgen {

// Appends one `notes` or `hit` line's steps (from tokens[first] on) to a pattern row. Bar lines
// '|' are optional; where a line uses them, every bar between them must hold exactly `grid`
// steps, which catches a miscounted bar at its own line. Throws DescriptionError.
void appendSteps(PatternRow& row, const std::vector<std::string>& tokens, std::size_t first,
                 int grid, bool hits, const DescriptionLine& line);

} // namespace sfxgen
