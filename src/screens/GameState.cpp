#include "screens/GameState.hpp"

#include "core/MusicPlayer.hpp"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Event.hpp>

#include <iostream>

GameState::GameState(StateStack& stack, Context context)
    : State(stack, context), world(*context.window), input() {
    context.music->play(MusicTheme::GameTheme);
    world.gameOverCallback = [this] { requestPop(); };
}

GameState::~GameState() = default;

void GameState::draw() {
    world.draw();
}

bool GameState::update(sf::Time dt) {
    if (!world.hasLevel()) {
        std::cerr << "The game ends: no level can be played\n";
        requestPop();
        return true;
    }
    world.update(dt);
    input.handleRealtimeInput(*getContext().window, world.getCommandQueue());
    return true;
}

bool GameState::handleEvent(const sf::Event& event) {
    input.handleEvent(event, world.getCommandQueue());
    if (event.type == sf::Event::KeyPressed && event.key.code == sf::Keyboard::Escape)
        requestPop();
    return true;
}
