#pragma once
// Values the world publishes for the nodes it builds, read by their constructors and edge rules
// before a node can reach the world. Only the world writes them: the texture holder and window
// size when it is constructed, the world size each time it loads a level. Tests set them by hand.

#include "core/ResourceIdentifiers.hpp"

#include <SFML/System/Vector2.hpp>

extern TextureHolder* textureHolder; // the world's texture holder; null before a world exists
// The window's size in pixels; for a window wider than 1920 pixels, that of a 1920-pixel-wide
// window of the same shape, which the world is laid out for and then scaled up to fill the window.
extern sf::Vector2u windowSize;
extern sf::Vector2f worldSize; // the current level's size in pixels
