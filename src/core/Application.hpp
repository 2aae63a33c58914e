#pragma once

#include "actors/Gamepad.hpp"
#include "core/CommandLine.hpp"
#include "core/MusicPlayer.hpp"
#include "core/ResourceHolder.hpp"
#include "core/StateStack.hpp"
#include "core/WindowControl.hpp"
#include "replay/Recording.hpp"
#include "screens/UserProfile.hpp"
#include "screens/VolumeControl.hpp"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <future>

class GamePaths;

// Owns the window and everything the screens share, and runs the frame loop: events, update with
// the real elapsed time, draw. The loop ends when the window closes or no screen is left.
// With fixed steps every update is given 1/60 s instead, updates follow each other as fast as they
// can, and a frame is drawn only when 1/60 s of real time has passed since the last one (and,
// where drawing is slow, twice the time the last one took). Otherwise vertical sync paces the loop,
// or, where it is off or the display has none, a limit of 60 frames a second (WindowControl).
class Application {
public:
    // Opens the window as the player's settings say (fullscreen unless they chose a window), or
    // windowed when the options ask for it; the screens keep the players in the paths' user
    // folder. The first screen is the title, or the game for a demo or a replay.
    Application(const CommandLine::Options& options, const GamePaths& paths,
                Recording replay = Recording());
    // Plays until the window closes; the program's exit status.
    int run();

private:
    void processEvents();
    void update(sf::Time elapsedTime);
    void render();
    void registerStates();

    // The title picture, read on a thread of its own from the start: the graphics library starts
    // (with the window, first) and the window opens meanwhile. Not read for a demo or a replay.
    std::future<sf::Image> titlePicture;
    // The stack comes last, so it is destroyed first: its screens, and the loading task that one
    // of them may still be waiting for, are gone before anything they use or write.
    sf::RenderWindow window;
    TextureHolder textures;
    MusicPlayer music;
    FontHolder fonts;
    UserProfile profile;
    sf::Image icon;
    VolumeControl volume;
    WindowControl windowControl;
    int firstLevel = 1;
    Gamepad gamepad;
    CommandLine::Options options;
    int exitStatus = 0;
    Recording replay;
    StateStack stateStack;
};
