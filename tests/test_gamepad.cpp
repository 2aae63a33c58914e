// The one mapping of a gamepad, fed with pad states and events made here: driving, the menu's
// steps, the south button and Start on the two usual button layouts, and buttons the player chose.
#include "actors/Bindings.hpp"
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

Bindings jumpOn(unsigned button) {
    Bindings chosen;
    chosen.padJump = button;
    return chosen;
}

TEST(GamepadDrive, TheStickOrTheDPadDriveAndTheJumpButtonJumps) {
    const struct {
        Gamepad::State state;
        Bindings bindings;
        std::tuple<bool, bool, bool> expected;
    } cases[] = {
        {pad(0.f, 0.f), {}, {false, false, false}},
        {pad(-100.f, 0.f), {}, {true, false, false}},
        {pad(0.f, 100.f), {}, {false, true, false}},
        {pad(-60.f, 0.f, {0}), {}, {true, false, true}},
        {pad(30.f, -30.f), {}, {false, false, false}}, // a stick at rest is never quite at 0
        {pad(-80.f, 100.f), {}, {true, true, false}},  // both, as Left and Right held together
        {pad(0.f, 0.f, {1, 2, 3, 7}), {}, {false, false, false}},
        {pad(0.f, 0.f, {2}), jumpOn(2), {false, false, true}},
        {pad(0.f, 0.f, {0}), jumpOn(2), {false, false, false}}, // south no longer jumps
        {pad(0.f, 0.f, {31}), jumpOn(31), {false, false, true}},
    };
    for (const auto& pushed : cases)
        EXPECT_EQ(held(Gamepad::drive(pushed.state, pushed.bindings)), pushed.expected);
    Gamepad::State unplugged = pad(-100.f, 0.f, {0});
    unplugged.connected = false;
    EXPECT_EQ(held(Gamepad::drive(unplugged, Bindings())), std::make_tuple(false, false, false));
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
    const Bindings standard;
    EXPECT_EQ(gamepad.keyFor(buttonPressed(0), XboxButtons, standard), Key(sf::Keyboard::Return));
    EXPECT_EQ(gamepad.keyFor(buttonPressed(7), XboxButtons, standard), Key(sf::Keyboard::P));
    EXPECT_EQ(gamepad.keyFor(buttonPressed(9), PlayStationButtons, standard), Key(sf::Keyboard::P));
    EXPECT_EQ(gamepad.keyFor(buttonPressed(7), PlayStationButtons, standard), Key()) << "R2 there";
    for (unsigned other : {1u, 2u, 3u, 6u, 8u})
        EXPECT_EQ(gamepad.keyFor(buttonPressed(other), XboxButtons, standard), Key()) << other;
    sf::Event released = buttonPressed(0);
    released.type = sf::Event::JoystickButtonReleased;
    EXPECT_EQ(gamepad.keyFor(released, XboxButtons, standard), Key());
}

TEST(GamepadKeys, ChosenButtonsStandForReturnAndThePauseKeyAsBound) {
    Gamepad gamepad;
    Bindings chosen;
    ASSERT_TRUE(chosen.bindPad(Bindings::Jump, 2, XboxButtons));
    ASSERT_TRUE(chosen.bindPad(Bindings::Pause, 3, XboxButtons));
    ASSERT_TRUE(chosen.bind(Bindings::Pause, sf::Keyboard::Space));
    EXPECT_EQ(gamepad.keyFor(buttonPressed(2), XboxButtons, chosen), Key(sf::Keyboard::Return));
    EXPECT_EQ(gamepad.keyFor(buttonPressed(3), XboxButtons, chosen), Key(sf::Keyboard::Space));
    for (unsigned other : {0u, 7u})
        EXPECT_EQ(gamepad.keyFor(buttonPressed(other), XboxButtons, chosen), Key()) << other;
    gamepad.holdBackKeys(true);
    EXPECT_EQ(gamepad.keyFor(buttonPressed(2), XboxButtons, chosen), Key())
        << "while a screen reads the buttons themselves";
    EXPECT_EQ(gamepad.keyFor(moved(sf::Joystick::PovY, 100.f), XboxButtons, chosen), Key());
    gamepad.holdBackKeys(false);
    EXPECT_EQ(gamepad.keyFor(buttonPressed(2), XboxButtons, chosen), Key(sf::Keyboard::Return));
}

TEST(GamepadBindings, JumpAndPauseSwapWhenOneTakesTheOthersButton) {
    const struct {
        Bindings::Action action;
        unsigned button;
        unsigned buttons;
        unsigned jump;
        unsigned pause; // on the same pad
    } cases[] = {
        {Bindings::Jump, 1, XboxButtons, 1, 7},         {Bindings::Pause, 2, XboxButtons, 0, 2},
        {Bindings::Jump, 7, XboxButtons, 7, 0},        // Start's: pause takes the south button
        {Bindings::Jump, 9, PlayStationButtons, 9, 0}, // Start is the tenth there
        {Bindings::Pause, 0, PlayStationButtons, 9, 0},
    };
    for (const auto& c : cases) {
        Bindings bindings;
        EXPECT_TRUE(bindings.bindPad(c.action, c.button, c.buttons));
        EXPECT_EQ(bindings.padJump, c.jump) << c.button;
        EXPECT_EQ(bindings.padPauseButton(c.buttons), c.pause) << c.button;
    }
    Bindings bindings;
    EXPECT_FALSE(bindings.bindPad(Bindings::Left, 1, XboxButtons)) << "the stick drives";
    EXPECT_FALSE(bindings.bindPad(Bindings::Jump, Bindings::PadButtons, XboxButtons));
    EXPECT_EQ(bindings, Bindings());
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
        keys.push_back(gamepad.keyFor(event, XboxButtons, Bindings()));
    EXPECT_EQ(keys, (std::vector<Key>{Key(), sf::Keyboard::Down, Key(), Key(), Key(), Key(),
                                      sf::Keyboard::Up, sf::Keyboard::Down, Key(), Key()}));
    for (unsigned joystick : {0u, 1u})
        EXPECT_EQ(
            gamepad.keyFor(moved(sf::Joystick::PovY, 100.f, joystick), XboxButtons, Bindings()),
            Key(sf::Keyboard::Down))
            << "each pad's push is a step of its own";
}

} // namespace
