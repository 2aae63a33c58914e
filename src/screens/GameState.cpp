#include "screens/GameState.hpp"

#include "core/MusicPlayer.hpp"
#include "core/ResourceHolder.hpp"
#include "screens/UserFiles.hpp"
#include "screens/UserProfile.hpp"
#include "screens/VolumeControl.hpp"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Event.hpp>

#include <iostream>

namespace {

// The menu has loaded the faces when play comes from there; otherwise they are loaded here.
const sf::Font& font(const State::Context& context, Fonts::Fonts face) {
    context.fonts->load(face, Fonts::fileName(face));
    return context.fonts->get(face);
}

} // namespace

GameState::GameState(StateStack& stack, Context context)
    : State(stack, context), world(*context.window, context.firstLevel ? *context.firstLevel : 1),
      input(), overlay(context.window->getSize(), font(context, Fonts::MenuTitle),
                       font(context, Fonts::MenuButton)) {
    context.music->play(MusicTheme::GameTheme);
    world.gameOverCallback = [this] { requestPop(); };
    world.levelClearedCallback = [this](int) { levelCleared = true; };
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
    world.update(dt);
    input.handleRealtimeInput(*getContext().window, world.getCommandQueue());
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
        if (event.key.code == sf::Keyboard::Escape)
            requestPop();
        else if (event.key.code == sf::Keyboard::P)
            setPaused(!paused);
        else
            getContext().volume->handleEvent(event);
    } else if (event.type == sf::Event::LostFocus) {
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
