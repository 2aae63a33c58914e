#pragma once
// Names of every picture, font, effect and theme of the game, and the holders that keep them.

#include <cstdint>

namespace sf {
class Texture;
class Font;
class SoundBuffer;
} // namespace sf

namespace Textures {
enum Textures : std::int32_t {
    Platform = 0,
    Tank = 2,
    TankExplosion = 3,
    TitleScreen = 4,
    MenuScreen = 5,
    HUDBanner = 6,
    NormalButton = 7,
    SelectedButton = 8,
    ActiveButton = 9,
    DroneBasic = 10,
    LoadingScreen = 11,
    PowerUps = 12,
    Vanish = 13,
};
}

namespace Fonts {
enum Fonts : std::int32_t {
    MenuTitle = 0,
    MenuButton = 1,
};
// Each face's file, below the data folder.
inline const char* fileName(Fonts font) {
    return font == MenuTitle ? "Fonts/MenuTitle.ttf" : "Fonts/MenuButton.ttf";
}
} // namespace Fonts

namespace SFX {
enum SFX : std::int32_t {
    Explosion = 0,
    Repair = 1,
    RoboEntry = 2,
    RoboDelete = 3,
    KeyGeneration = 4,
    PowerObtained = 5,
    PortalExplosion = 6,
    RoboVanish = 7,
    // The player's own actions, in play and in the menu.
    Jump = 8,
    BlockStruck = 9,
    MenuMove = 10,
    ButtonPress = 11,
};
}

namespace MusicTheme {
enum MusicTheme : std::int32_t {
    MenuTheme = 0,
    GameTheme = 1,
};
}

template <typename Resource, typename Identifier> class ResourceHolder;

using TextureHolder = ResourceHolder<sf::Texture, Textures::Textures>;
using FontHolder = ResourceHolder<sf::Font, Fonts::Fonts>;
using SoundBufferHolder = ResourceHolder<sf::SoundBuffer, SFX::SFX>;
