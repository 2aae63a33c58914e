#pragma once

#include "core/MusicPlayer.hpp"
#include "core/ResourceHolder.hpp"
#include "core/StateStack.hpp"
#include "screens/UserProfile.hpp"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Window/VideoMode.hpp>

// Owns the window and everything the screens share, and runs the frame loop: events, update with
// the real elapsed time, draw. The loop ends when the window closes or no screen is left.
class Application {
public:
    Application();
    void run();

private:
    void processEvents();
    void update(sf::Time elapsedTime);
    void render();
    void registerStates();

    // Declaration order is construction order: the stack gets the addresses of the members after
    // it before they are built, which is safe because no screen is created during construction.
    sf::RenderWindow window;
    TextureHolder textures;
    StateStack stateStack;
    sf::VideoMode videoMode;
    MusicPlayer music;
    FontHolder fonts;
    UserProfile profile;
    sf::Image icon;
};
