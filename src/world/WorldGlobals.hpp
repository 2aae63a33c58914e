#pragma once
// Values the world publishes for the nodes it builds, read by their constructors and edge rules
// before a node can reach the world. Only the world writes them: the texture holder and window
// size when it is constructed, the world size each time it loads a level. Tests set them by hand.

#include "core/ResourceIdentifiers.hpp"

#include <SFML/System/Vector2.hpp>

extern TextureHolder* textureHolder; // the world's texture holder; null before a world exists
extern sf::Vector2u windowSize;      // the window's size in pixels
extern sf::Vector2f worldSize;       // the current level's size in pixels
