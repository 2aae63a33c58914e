#pragma once

#include <stdexcept>
#include <string>

namespace sfxgen {

// Thrown for anything wrong in a sound description. The message always starts with
// "file:line: " so the build log points straight at the line to fix.
class DescriptionError : public std::runtime_error {
public:
    DescriptionError(const std::string& file, int line, const std::string& problem);
};

} // namespace sfxgen
