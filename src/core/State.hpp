#pragma once

#include "core/CommandLine.hpp"
#include "core/ResourceIdentifiers.hpp"
#include "core/StateIdentifiers.hpp"

#include <SFML/System/Time.hpp>

#include <filesystem>
#include <memory>

namespace sf {
class RenderWindow;
class Event;
} // namespace sf

class Recording;
class StateStack;
class MusicPlayer;
class UserProfile;
class VolumeControl;
class WindowControl;
class Gamepad;

// A screen of the game. Screens never change the stack themselves: they ask for a push, pop or
// clear, which the stack carries out after the current event or update pass.
class State {
public:
    using Ptr = std::unique_ptr<State>;

    // The shared objects a screen may use; the application owns all of them.
    struct Context {
        sf::RenderWindow* window = nullptr;
        TextureHolder* textures = nullptr;
        MusicPlayer* music = nullptr;
        FontHolder* fonts = nullptr;
        UserProfile* profile = nullptr;
        // The players' folder, as the game chose it at start-up (see GamePaths).
        std::filesystem::path userFolder = "User";
        VolumeControl* volume = nullptr;
        // The level the next game starts at, which the menu chooses; null is level 1.
        int* firstLevel = nullptr;
        // What the command line asked for; null is no option at all.
        const CommandLine::Options* options = nullptr;
        // Where a screen that ends the program leaves its exit status; null when nobody asks.
        int* exitStatus = nullptr;
        // Fullscreen or a window, and vertical sync; null where the window cannot be switched.
        WindowControl* windowControl = nullptr;
        // The pads' mapping to keys, which a screen that binds pad buttons holds back; may be null.
        Gamepad* gamepad = nullptr;
        // The recording the next game plays back instead of being played (the command line's, or
        // a best run the menu chose); the game screen takes it, leaving it empty. Null is none.
        Recording* replay = nullptr;
    };

    State(StateStack& stack, Context context);
    virtual ~State();

    // The bottom screen paints every pixel of the window, which is not cleared between frames (so
    // no pixel need be drawn twice); a screen above it draws over it.
    virtual void draw() = 0;
    // The results say whether the screens below also get the update or the event.
    virtual bool update(sf::Time dt) = 0;
    virtual bool handleEvent(const sf::Event& event) = 0;

protected:
    void requestPush(States::States id);
    void requestPop();
    void requestClear();
    Context getContext() const;

private:
    Context context;
    StateStack* stack;
};
