#include "actors/PlayerInput.hpp"

#include "actors/TankMover.hpp"
#include "core/CommandQueue.hpp"

#include <SFML/Window/Keyboard.hpp>
#include <SFML/Window/Window.hpp>

void PlayerInput::handleEvent(const sf::Event&, CommandQueue&) {}

void PlayerInput::handleRealtimeInput(const sf::Window& window, CommandQueue& commands) {
    if (!window.hasFocus())
        return;
    if (sf::Keyboard::isKeyPressed(sf::Keyboard::Left))
        commands.push({TankMover(-DriveAcceleration, 0.f), Category::Tank});
    if (sf::Keyboard::isKeyPressed(sf::Keyboard::Right))
        commands.push({TankMover(DriveAcceleration, 0.f), Category::Tank});
    if (sf::Keyboard::isKeyPressed(sf::Keyboard::Up))
        commands.push({tankJump, Category::Tank});
}
