#include "actors/Bindings.hpp"

#include "actors/Gamepad.hpp"

#include <algorithm>

std::optional<Bindings::Action> Bindings::actionOf(sf::Keyboard::Key key) const {
    const auto found = std::find(keys.begin(), keys.end(), key);
    if (found == keys.end())
        return std::nullopt;
    return static_cast<Action>(found - keys.begin());
}

bool Bindings::isGameKey(sf::Keyboard::Key key) {
    return key == Leave || key == SwitchWindow || volumeStep(key) != 0;
}

int Bindings::volumeStep(sf::Keyboard::Key key) {
    const auto among = [key](const auto& list) {
        return std::find(list.begin(), list.end(), key) != list.end();
    };
    return among(VolumeDown) ? -1 : among(VolumeUp) ? 1 : 0;
}

bool Bindings::bind(Action action, sf::Keyboard::Key key) {
    if (key < 0 || key >= sf::Keyboard::KeyCount || isGameKey(key))
        return false;
    if (const auto holder = actionOf(key))
        keys[*holder] = keys[action];
    keys[action] = key;
    return true;
}

unsigned Bindings::padPauseButton(unsigned buttonCount) const {
    return padPause ? *padPause : Gamepad::startButton(buttonCount);
}

bool Bindings::bindPad(Action action, unsigned button, unsigned buttonCount) {
    if ((action != Jump && action != Pause) || button >= PadButtons)
        return false;
    const unsigned pause = padPauseButton(buttonCount);
    if (action == Jump) {
        if (button == pause)
            padPause = padJump;
        padJump = button;
    } else {
        if (button == padJump)
            padJump = pause;
        padPause = button;
    }
    return true;
}
