#include "world/WorldGlobals.hpp"

TextureHolder* textureHolder = nullptr;
sf::Vector2u windowSize;
sf::Vector2f worldSize;
