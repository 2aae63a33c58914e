// The one mapping of a gamepad, fed with pad states and events made here: driving, the menu's
// steps, the south button and Start on the two usual button layouts.
#include "actors/Gamepad.hpp"

#include <SFML/Window/Event.hpp>
#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <vector>

namespace {

const unsigned XboxButtons = 11;        // A B X Y LB RB Back Start Guide, and the two sticks
const unsigned PlayStationButtons = 13; // also L2 and R2 as buttons: Start is the tenth

Gamepad::State pad(float x, float povX, std::vector<unsigned> held = {}) {
    Gamepad::State state;
    state.connected = true;
    state.buttonCount = XboxButtons;
    state.x = x;
    state.povX = povX;
    for (unsigned button : held)
        state.buttons[button] = true;
    return state;
}

// Left, right, jump.
std::tuple<bool, bool, bool> held(const Controls& drive) {
    return {drive.left, drive.right, drive.jump};
}

TEST(GamepadDrive, TheStickOrTheDPadDriveAndTheSouthButtonJumps) {
    const struct {
        Gamepad::State state;
        std::tuple<bool, bool, bool> expected;
    } cases[] = {
        {pad(0.f, 0.f), {false, false, false}},
        {pad(-100.f, 0.f), {true, false, false}},
        {pad(0.f, 100.f), {false, true, false}},
        {pad(-60.f, 0.f, {0}), {true, false, true}},
        {pad(30.f, -30.f), {false, false, false}}, // a stick at rest is never quite at 0
        {pad(-80.f, 100.f), {true, true, false}},  // both, as Left and Right held together
        {pad(0.f, 0.f, {1, 2, 3, 7}), {false, false, false}},
    };
    for (const auto& pushed : cases)
        EXPECT_EQ(held(Gamepad::drive(pushed.state)), pushed.expected);
    Gamepad::State unplugged = pad(-100.f, 0.f, {0});
    unplugged.connected = false;
    EXPECT_EQ(held(Gamepad::drive(unplugged)), std::make_tuple(false, false, false));
}

sf::Event buttonPressed(unsigned button, unsigned joystick = 0) {
    sf::Event event;
    event.type = sf::Event::JoystickButtonPressed;
    event.joystickButton = {joystick, button};
    return event;
}

sf::Event moved(sf::Joystick::Axis axis, float position, unsigned joystick = 0) {
    sf::Event event;
    event.type = sf::Event::JoystickMoved;
    event.joystickMove = {joystick, axis, position};
    return event;
}

using Key = std::optional<sf::Keyboard::Key>;

TEST(GamepadKeys, SouthTriggersAndStartPausesOnEitherLayout) {
    Gamepad gamepad;
    EXPECT_EQ(gamepad.keyFor(buttonPressed(0), XboxButtons), Key(sf::Keyboard::Return));
    EXPECT_EQ(gamepad.keyFor(buttonPressed(7), XboxButtons), Key(sf::Keyboard::P));
    EXPECT_EQ(gamepad.keyFor(buttonPressed(9), PlayStationButtons), Key(sf::Keyboard::P));
    EXPECT_EQ(gamepad.keyFor(buttonPressed(7), PlayStationButtons), Key()) << "R2 there";
    for (unsigned other : {1u, 2u, 3u, 6u, 8u})
        EXPECT_EQ(gamepad.keyFor(buttonPressed(other), XboxButtons), Key()) << other;
    sf::Event released = buttonPressed(0);
    released.type = sf::Event::JoystickButtonReleased;
    EXPECT_EQ(gamepad.keyFor(released, XboxButtons), Key());
}

TEST(GamepadKeys, EachPushUpOrDownIsOneStep) {
    Gamepad gamepad;
    std::vector<Key> keys;
    // The stick goes down and is held there, wavering, then comes back and goes up; the D-pad
    // goes down and back.
    for (const sf::Event& event :
         {moved(sf::Joystick::Y, 20.f), moved(sf::Joystick::Y, 70.f), moved(sf::Joystick::Y, 100.f),
          moved(sf::Joystick::Y, 45.f), moved(sf::Joystick::Y, 60.f), moved(sf::Joystick::Y, 10.f),
          moved(sf::Joystick::Y, -90.f), moved(sf::Joystick::PovY, 100.f),
          moved(sf::Joystick::PovY, 0.f), moved(sf::Joystick::X, -100.f)})
        keys.push_back(gamepad.keyFor(event, XboxButtons));
    EXPECT_EQ(keys, (std::vector<Key>{Key(), sf::Keyboard::Down, Key(), Key(), Key(), Key(),
                                      sf::Keyboard::Up, sf::Keyboard::Down, Key(), Key()}));
    for (unsigned joystick : {0u, 1u})
        EXPECT_EQ(gamepad.keyFor(moved(sf::Joystick::PovY, 100.f, joystick), XboxButtons),
                  Key(sf::Keyboard::Down))
            << "each pad's push is a step of its own";
}

} // namespace
