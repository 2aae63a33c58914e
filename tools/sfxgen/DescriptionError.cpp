#include "DescriptionError.hpp"

namespace sfxgen {

DescriptionError::DescriptionError(const std::string& file, int line, const std::string& problem)
    : std::runtime_error(file + ":" + std::to_string(line) + ": " + problem) {}

} // namespace sfxgen
