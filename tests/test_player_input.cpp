#include "actors/PlayerInput.hpp"
#include "actors/Tank.hpp"
#include "core/CommandQueue.hpp"
#include "screens/Settings.hpp"

#include "ActorTestSupport.hpp"

#include <SFML/Window/Window.hpp>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using actortest::ScopedTextures;
using actortest::ScopedWorldSize;

// Holds keys down on the X server for its lifetime; released even when a check fails.
class HeldKeys {
public:
    explicit HeldKeys(std::vector<std::string> names) : keys(std::move(names)) {
        for (const std::string& key : keys)
            EXPECT_EQ(testsupport::run("xdotool keydown " + key), 0) << key;
    }
    ~HeldKeys() {
        for (const std::string& key : keys)
            testsupport::run("xdotool keyup " + key);
    }

private:
    std::vector<std::string> keys;
};

class PlayerInputTest : public ::testing::Test {
protected:
    PlayerInputTest() {
        tank.setPosition(100.f, 524.f);
        tank.update(sf::Time::Zero); // stands on the floor, ready to jump
    }
    // Polls the keyboard with the given keys held while the window has the keyboard focus, then
    // runs the queued commands on the tank.
    std::size_t pollAndDeliver(std::vector<std::string> keys, const sf::Window* focused = nullptr) {
        focused = focused ? focused : &game;
        EXPECT_EQ(testsupport::run("xdotool windowfocus --sync " +
                                   std::to_string(focused->getSystemHandle())),
                  0);
        CommandQueue queue;
        {
            HeldKeys held(std::move(keys));
            input.read(game).queueCommands(queue);
        }
        const std::size_t count = queue.size();
        while (!queue.isEmpty()) {
            const Command command = queue.pop();
            EXPECT_EQ(command.category, 4u);
            tank.onCommand(command, sf::Time::Zero);
        }
        return count;
    }

    sf::Window game{sf::VideoMode(200, 100), "game", sf::Style::None};
    ScopedTextures textures;
    ScopedWorldSize world{1000.f, 600.f};
    PlayerInput input;
    Tank tank;
};

TEST_F(PlayerInputTest, NoKeyQueuesNothing) {
    EXPECT_EQ(pollAndDeliver({}), 0u);
    EXPECT_EQ(tank.getAcceleration().x, 0.f);
}

TEST_F(PlayerInputTest, LeftDrivesTheTankLeft) {
    EXPECT_EQ(pollAndDeliver({"Left"}), 1u);
    EXPECT_FLOAT_EQ(tank.getAcceleration().x, -900.f);
    EXPECT_TRUE(tank.isFacingLeft());
    EXPECT_FLOAT_EQ(tank.getVelocity().y, 0.f);
}

TEST_F(PlayerInputTest, LeftAndRightTogetherEndFacingRight) {
    EXPECT_EQ(pollAndDeliver({"Left", "Right"}), 2u);
    EXPECT_FLOAT_EQ(tank.getAcceleration().x, 900.f);
    EXPECT_FALSE(tank.isFacingLeft());
}

TEST_F(PlayerInputTest, KeysTypedInAnotherWindowDoNotDrive) {
    const sf::Window other(sf::VideoMode(200, 100), "another program", sf::Style::None);
    EXPECT_EQ(pollAndDeliver({"Left", "Up"}, &other), 0u);
    EXPECT_EQ(tank.getAcceleration().x, 0.f);
    EXPECT_EQ(pollAndDeliver({"Left"}), 1u) << "back in the game, the keys drive again";
}

TEST_F(PlayerInputTest, KeysBoundInTheSettingsFileDriveAndTheirOldKeysDoNot) {
    const testsupport::TempDir dir;
    testsupport::writeFile(dir / Settings::FileName, "key-jump Space\nkey-left A\n");
    input = PlayerInput(Settings::read(dir / Settings::FileName).controls);
    EXPECT_EQ(pollAndDeliver({"Up"}), 0u) << "Up does nothing";
    EXPECT_FLOAT_EQ(tank.getVelocity().y, 0.f);
    EXPECT_EQ(pollAndDeliver({"Left"}), 0u);
    EXPECT_EQ(pollAndDeliver({"space", "a"}), 2u);
    EXPECT_FLOAT_EQ(tank.getAcceleration().x, -900.f);
    EXPECT_FLOAT_EQ(tank.getVelocity().y, -775.f) << "Space jumps";
}

TEST_F(PlayerInputTest, LeftAndUpDriveAndJumpInTheSameUpdate) {
    EXPECT_EQ(pollAndDeliver({"Left", "Up"}), 2u);
    EXPECT_FLOAT_EQ(tank.getAcceleration().x, -900.f);
    EXPECT_FLOAT_EQ(tank.getVelocity().y, -775.f);
}

} // namespace
