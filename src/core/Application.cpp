#include "core/Application.hpp"

#include "screens/GameState.hpp"
#include "screens/LoadingState.hpp"
#include "screens/MenuState.hpp"
#include "screens/TitleState.hpp"

#include <SFML/Window/Event.hpp>

#include <iostream>
#include <locale>

Application::Application()
    : window(), textures(), videoMode(sf::VideoMode::getDesktopMode()), music(), fonts(), profile(),
      icon(), stateStack(State::Context{&window, &textures, &music, &fonts, &profile}) {
    window.create(videoMode, sf::String("Gravelmoth", std::locale()), sf::Style::Fullscreen,
                  sf::ContextSettings(0, 0, 0, 2, 0));
    registerStates();
    stateStack.push(States::Title);

    // Without a usable 32x32 picture the window keeps the desktop's default icon.
    const char* iconFile = "Images/Icon.png";
    if (icon.loadFromFile(iconFile)) {
        if (icon.getSize() == sf::Vector2u(32, 32))
            window.setIcon(32, 32, icon.getPixelsPtr());
        else
            std::cerr << iconFile << ": the icon must be 32x32 pixels, not " << icon.getSize().x
                      << "x" << icon.getSize().y << "; the window keeps its default icon\n";
    }
    window.setVerticalSyncEnabled(true);
}

void Application::run() {
    sf::Clock clock;
    while (window.isOpen()) {
        const sf::Time elapsedTime = clock.restart();
        processEvents();
        update(elapsedTime);
        if (stateStack.isEmpty())
            window.close();
        render();
    }
}

void Application::processEvents() {
    sf::Event event;
    while (window.pollEvent(event)) {
        stateStack.handleEvent(event);
        if (event.type == sf::Event::Closed)
            window.close();
    }
}

void Application::update(sf::Time elapsedTime) {
    stateStack.update(elapsedTime);
}

void Application::render() {
    window.clear(sf::Color(0, 0, 0, 255));
    stateStack.draw();
    window.display();
}

void Application::registerStates() {
    stateStack.registerState<TitleState>(States::Title);
    stateStack.registerState<MenuState>(States::Menu);
    stateStack.registerState<GameState>(States::Game);
    stateStack.registerState<LoadingState>(States::Loading);
}
