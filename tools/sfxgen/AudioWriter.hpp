#pragma once

#include "Rendering.hpp"

#include <string>

namespace sfxgen {

// Scales the rendering so its loudest sample sits at its peak level, then writes it as 16-bit
// audio in the format the file name's extension asks for (.ogg for the game). Returns an empty
// string on success, otherwise what went wrong.
std::string writeAudio(const Rendering& rendering, const std::string& path);

} // namespace sfxgen
