#include "actors/PlayerInput.hpp"

#include "actors/Gamepad.hpp"
#include "actors/TankMover.hpp"
#include "core/CommandQueue.hpp"

#include <SFML/Window/Keyboard.hpp>
#include <SFML/Window/Window.hpp>

void PlayerInput::handleEvent(const sf::Event&, CommandQueue&) {}

void PlayerInput::handleRealtimeInput(const sf::Window& window, CommandQueue& commands) {
    if (!window.hasFocus())
        return;
    bool left = sf::Keyboard::isKeyPressed(sf::Keyboard::Left);
    bool right = sf::Keyboard::isKeyPressed(sf::Keyboard::Right);
    bool jump = sf::Keyboard::isKeyPressed(sf::Keyboard::Up);
    for (unsigned pad = 0; pad < sf::Joystick::Count; ++pad) {
        const Gamepad::Drive held = Gamepad::drive(Gamepad::read(pad));
        left = left || held.left;
        right = right || held.right;
        jump = jump || held.jump;
    }
    if (left)
        commands.push({TankMover(-DriveAcceleration, 0.f), Category::Tank});
    if (right)
        commands.push({TankMover(DriveAcceleration, 0.f), Category::Tank});
    if (jump)
        commands.push({tankJump, Category::Tank});
}
