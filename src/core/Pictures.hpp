#pragma once
// Pictures are made at one size (the backdrops at 1920 x 1080) and stretched to the window. With
// software rendering every texture lives in main memory and every texel drawn is read, so a
// picture drawn at fewer pixels than it has costs memory and drawing time for nothing.

#include <SFML/System/Vector2.hpp>

#include <string>

namespace sf {
class Texture;
}

namespace Pictures {

// Loads a picture file as the graphics library would, with the same pixels. A plain PNG (8 bits
// a channel, colour with or without transparency, not interlaced) is read and put on the graphics
// card a band of rows at a time, so the whole decoded picture, as large as the texture, is never
// in memory beside it; any other file is left to the library, which also reports a file that
// cannot be read.
bool loadFromFile(sf::Texture& picture, const std::string& file);

// For a picture that is drawn stretched over a rectangle of drawnSize whole pixels: replaces it by
// what it shows there, when that has fewer pixels than the picture, so that it is drawn one texel
// a pixel. The replacement is made by drawing the picture as the game would (with its own
// smoothing), so the window shows exactly the same pixels as before. A picture drawn one texel a
// pixel needs no smoothing, which would only cost time, and is left without. A picture drawn at
// more pixels than it has, or that cannot be redrawn, stays as it is.
void keepAtDrawnSize(sf::Texture& picture, sf::Vector2u drawnSize);

// Stores the picture on the graphics card in the order of the window's own pixels (blue, green,
// red, alpha), with the same pixels. A software renderer copies such a picture drawn one texel a
// pixel, without blending, through `CopyingProgram` instead of sampling it, about three times as
// fast. Done with the calling thread's graphics context; without one, or when there is no memory
// for it, the picture stays as it was.
void storeInWindowOrder(sf::Texture& picture);

// Whether the picture has pixels and all of them are opaque: nothing drawn before it shows
// through, so it may be drawn without blending and nothing need be drawn under it.
bool isOpaque(const sf::Texture& picture);

} // namespace Pictures
