#include "screens/GameState.hpp"

#include "core/MusicPlayer.hpp"
#include "core/ResourceHolder.hpp"
#include "screens/UserFiles.hpp"
#include "screens/UserProfile.hpp"
#include "screens/VolumeControl.hpp"
#include "world/Physics.hpp"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Event.hpp>

#include <algorithm>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <utility>

namespace {

const sf::Int64 MaxStepsPerFrame = 10;

// The menu has loaded the faces when play comes from there; otherwise they are loaded here.
const sf::Font& font(const State::Context& context, Fonts::Fonts face) {
    context.fonts->load(face, Fonts::fileName(face));
    return context.fonts->get(face);
}

Bindings bindingsOf(const State::Context& context) {
    return context.volume ? context.volume->getSettings().controls : Bindings();
}

} // namespace

GameState::GameState(StateStack& stack, Context context)
    : State(stack, context), world(*context.window, context.firstLevel ? *context.firstLevel : 1),
      input(bindingsOf(context)),
      overlay(context.window->getSize(), font(context, Fonts::MenuTitle),
              font(context, Fonts::MenuButton), bindingsOf(context)) {
    if (context.options && context.options->demo)
        autoPlayer = std::make_unique<AutoPlayer>();
    if (context.options)
        exitAfterLevel = context.options->exitAfterLevel;
    context.music->play(MusicTheme::GameTheme);
    world.gameOverCallback = [this] { leave(1); };
    world.levelClearedCallback = [this](int level) {
        levelCleared = true;
        report(level);
    };
    if (world.hasLevel())
        overlay.showLevel(world.getLevel());
}

GameState::~GameState() = default;

void GameState::draw() {
    sf::RenderWindow& window = *getContext().window;
    world.draw();
    overlay.draw(window, paused);
    getContext().volume->draw(window, getContext().fonts->get(Fonts::MenuButton));
}

bool GameState::update(sf::Time dt) {
    if (!world.hasLevel()) {
        std::cerr << "The game ends: no level can be played\n";
        requestPop();
        return true;
    }
    if (paused)
        return true;
    const auto queueControls = [this] { controls().queueCommands(world.getCommandQueue()); };
    if (autoPlayer) {
        // The automatic player foresees the game in steps of exactly 1/60 s, so a demo is played
        // in such steps, as many as the real time allows; the rest waits for the next frame. After
        // a long hitch the demo falls behind rather than racing to catch up.
        pending = std::min(pending + dt, MaxStepsPerFrame * Physics::Step);
        while (pending >= Physics::Step && !leaving) {
            pending -= Physics::Step;
            world.update(Physics::Step, queueControls);
        }
    } else {
        world.update(dt, queueControls);
    }
    overlay.update(dt);
    if (levelCleared) {
        levelCleared = false;
        keepProgress();
        if (world.hasLevel())
            overlay.showLevel(world.getLevel());
    }
    return true;
}

bool GameState::handleEvent(const sf::Event& event) {
    input.handleEvent(event, world.getCommandQueue());
    if (event.type == sf::Event::KeyPressed) {
        if (event.key.code == Bindings::Leave)
            requestPop();
        else if (event.key.code == bindingsOf(getContext()).key(Bindings::Pause))
            setPaused(!paused);
        else
            getContext().volume->handleEvent(event);
    } else if (event.type == sf::Event::Resized) {
        // The world keeps the size it was laid out in and is scaled to the new window; the words
        // over it are laid out anew, to stay sharp.
        overlay.layOut(sf::Vector2u(event.size.width, event.size.height));
    } else if (event.type == sf::Event::LostFocus && !autoPlayer) {
        // A person who turns to another window comes back to the game as they left it; a demo
        // plays on.
        setPaused(true);
    }
    return true;
}

void GameState::setPaused(bool flag) {
    paused = flag;
    getContext().music->setPaused(flag);
}

// The level that has just started is the best one reached when it is further than the player got.
void GameState::keepProgress() {
    UserProfile* profile = getContext().profile;
    if (!profile || !profile->loggedIn || !world.hasLevel() || world.getLevel() <= profile->value2)
        return;
    profile->value2 = world.getLevel();
    UserFiles(getContext().userFolder).saveValues(*profile);
}

Controls GameState::controls() {
    return autoPlayer ? autoPlayer->decide(std::as_const(world)) : input.read(*getContext().window);
}

void GameState::report(int level) {
    if (exitAfterLevel <= 0)
        return;
    std::ostringstream line;
    line << "Level " << level << " cleared in " << std::fixed << std::setprecision(1)
         << world.getLevelTime().asSeconds() << " s, " << world.getTanksLost() << " tanks lost";
    std::cout << line.str() << std::endl;
    if (level == exitAfterLevel)
        leave(0);
}

// The status counts only when the player asked to end after a level.
void GameState::leave(int status) {
    if (leaving)
        return;
    leaving = true;
    if (exitAfterLevel > 0 && getContext().exitStatus)
        *getContext().exitStatus = status;
    requestPop();
}
