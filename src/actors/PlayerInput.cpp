#include "actors/PlayerInput.hpp"

#include "actors/Gamepad.hpp"

#include <SFML/Window/Keyboard.hpp>
#include <SFML/Window/Window.hpp>

void PlayerInput::handleEvent(const sf::Event&, CommandQueue&) {}

Controls PlayerInput::read(const sf::Window& window) const {
    Controls controls;
    if (!window.hasFocus())
        return controls;
    controls.left = sf::Keyboard::isKeyPressed(bindings.key(Bindings::Left));
    controls.right = sf::Keyboard::isKeyPressed(bindings.key(Bindings::Right));
    controls.jump = sf::Keyboard::isKeyPressed(bindings.key(Bindings::Jump));
    for (unsigned pad = 0; pad < sf::Joystick::Count; ++pad) {
        const Controls held = Gamepad::drive(Gamepad::read(pad), bindings);
        controls.left = controls.left || held.left;
        controls.right = controls.right || held.right;
        controls.jump = controls.jump || held.jump;
    }
    return controls;
}
