#pragma once
// The one way the converter reports a bad map: main() catches it, names the file and exits
// non-zero.

#include <stdexcept>
#include <string>

class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const std::string& message) : std::runtime_error(message) {}
};
