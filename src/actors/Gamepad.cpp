#include "actors/Gamepad.hpp"

#include "actors/Bindings.hpp"

#include <SFML/Window/Event.hpp>

namespace {

int direction(float position) {
    return position <= -Gamepad::Threshold ? -1 : position >= Gamepad::Threshold ? 1 : 0;
}

} // namespace

Gamepad::State Gamepad::read(unsigned pad) {
    State state;
    state.connected = sf::Joystick::isConnected(pad);
    if (!state.connected)
        return state;
    state.buttonCount = sf::Joystick::getButtonCount(pad);
    for (unsigned button = 0; button < state.buttonCount && button < state.buttons.size(); ++button)
        state.buttons[button] = sf::Joystick::isButtonPressed(pad, button);
    state.x = sf::Joystick::getAxisPosition(pad, sf::Joystick::X);
    state.y = sf::Joystick::getAxisPosition(pad, sf::Joystick::Y);
    state.povX = sf::Joystick::getAxisPosition(pad, sf::Joystick::PovX);
    state.povY = sf::Joystick::getAxisPosition(pad, sf::Joystick::PovY);
    return state;
}

Controls Gamepad::drive(const State& pad, const Bindings& bindings) {
    Controls held;
    if (!pad.connected)
        return held;
    held.left = direction(pad.x) < 0 || direction(pad.povX) < 0;
    held.right = direction(pad.x) > 0 || direction(pad.povX) > 0;
    held.jump = bindings.padJump < pad.buttons.size() && pad.buttons[bindings.padJump];
    return held;
}

unsigned Gamepad::startButton(unsigned buttonCount) {
    return buttonCount >= 13 ? 9 : 7;
}

std::optional<sf::Keyboard::Key> Gamepad::keyFor(const sf::Event& event, unsigned buttonCount,
                                                 const Bindings& bindings) {
    if (keysHeldBack)
        return std::nullopt;
    if (event.type == sf::Event::JoystickButtonPressed) {
        if (event.joystickButton.button == bindings.padJump)
            return sf::Keyboard::Return;
        if (event.joystickButton.button == bindings.padPauseButton(buttonCount))
            return bindings.key(Bindings::Pause);
        return std::nullopt;
    }
    if (event.type != sf::Event::JoystickMoved ||
        event.joystickMove.joystickId >= sf::Joystick::Count)
        return std::nullopt;
    const sf::Joystick::Axis axis = event.joystickMove.axis;
    if (axis != sf::Joystick::Y && axis != sf::Joystick::PovY)
        return std::nullopt;
    int& last = vertical[event.joystickMove.joystickId][axis == sf::Joystick::Y ? 0 : 1];
    const float position = event.joystickMove.position;
    int now = direction(position);
    // A stick held near the threshold wavers around it: it lets go only well below it.
    if (now == 0 && last != 0 && position * static_cast<float>(last) >= Threshold / 2.f)
        now = last;
    const bool pushed = now != 0 && now != last;
    last = now;
    if (!pushed)
        return std::nullopt;
    return now < 0 ? sf::Keyboard::Up : sf::Keyboard::Down;
}
