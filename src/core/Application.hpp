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

    // The stack comes last, so it is destroyed first: its screens, and the loading task that one
    // of them may still be waiting for, are gone before anything they use or write.
    sf::RenderWindow window;
    TextureHolder textures;
    sf::VideoMode videoMode;
    MusicPlayer music;
    FontHolder fonts;
    UserProfile profile;
    sf::Image icon;
    StateStack stateStack;
};
