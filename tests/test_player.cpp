#include "actors/Player.hpp"
#include "actors/Tank.hpp"
#include "actors/TankMover.hpp"
#include "core/CommandQueue.hpp"
#include "world/Spawner.hpp"

#include "ActorTestSupport.hpp"

#include <gtest/gtest.h>

namespace {

using actortest::ScopedTextures;
using actortest::ScopedWorldSize;
using actortest::SoundCounter;

void drainQueue() {
    while (!commandQueue().isEmpty())
        commandQueue().pop();
}

class PlayerTest : public ::testing::Test {
protected:
    PlayerTest() {
        drainQueue();
        player.setSpawnPosition(300.f, 100.f);
        player.gameOverCallback = [this] { ++gameOvers; };
    }
    ~PlayerTest() override { drainQueue(); }

    // The wreck falls out of the world and the removal pass frees it.
    void loseTank() {
        Tank* tank = player.getTank();
        ASSERT_NE(tank, nullptr);
        tank->destroy();
        tank->setPosition(300.f, 600.f + 500.f);
        player.removeWrecks();
        ASSERT_EQ(player.getTank(), nullptr);
    }

    ScopedTextures textures;
    ScopedWorldSize world{1000.f, 600.f};
    Player player;
    int gameOvers = 0;
};

TEST_F(PlayerTest, FirstUpdateSpawnsATankAtTheSpawnPosition) {
    EXPECT_EQ(player.getCategory(), 128u);
    EXPECT_EQ(player.getLives(), 25);
    EXPECT_EQ(player.getTank(), nullptr);
    player.update(sf::Time::Zero);
    Tank* tank = player.getTank();
    ASSERT_NE(tank, nullptr);
    EXPECT_EQ(tank->getPosition(), sf::Vector2f(300.f, 100.f));
    EXPECT_EQ(player.getLives(), 24);
    EXPECT_FLOAT_EQ(player.getRespawnTimer(), 1000000.f);
}

TEST_F(PlayerTest, NextTankComesOneSecondAfterTheWreckIsRemoved) {
    player.update(sf::Time::Zero);
    Tank* first = player.getTank();
    for (int i = 0; i < 4; ++i)
        player.update(sf::milliseconds(500));
    EXPECT_EQ(player.getTank(), first);
    EXPECT_FLOAT_EQ(player.getRespawnTimer(), 1000000.f) << "the timer waits while a tank exists";

    loseTank();
    player.update(sf::milliseconds(600));
    EXPECT_EQ(player.getTank(), nullptr);
    player.update(sf::milliseconds(400));
    EXPECT_EQ(player.getTank(), nullptr);
    EXPECT_FLOAT_EQ(player.getRespawnTimer(), 0.f);
    player.update(sf::milliseconds(16));
    EXPECT_NE(player.getTank(), nullptr);
    EXPECT_EQ(player.getLives(), 23);
    EXPECT_EQ(gameOvers, 0);
}

TEST_F(PlayerTest, GameOverIsCalledOnEveryUpdateOnceTheTwentyFifthTankIsGone) {
    for (int tank = 0; tank < 25; ++tank) {
        player.update(sf::seconds(1.f)); // runs out the previous delay
        player.update(sf::Time::Zero);   // spawns
        loseTank();
    }
    EXPECT_EQ(player.getLives(), 0);
    player.update(sf::milliseconds(999));
    EXPECT_EQ(gameOvers, 0) << "the last delay has not run out";
    player.update(sf::milliseconds(1));
    player.update(sf::Time::Zero);
    EXPECT_EQ(gameOvers, 1);
    player.update(sf::Time::Zero);
    EXPECT_EQ(gameOvers, 2);
    EXPECT_EQ(player.getTank(), nullptr);
}

TEST_F(PlayerTest, TankReceivesDriveCommandsThroughTheScene) {
    player.update(sf::Time::Zero);
    commandQueue().push({TankMover(-900.f, 0.f), Category::Tank});
    commandQueue().push({tankJump, Category::Tank});
    while (!commandQueue().isEmpty())
        player.onCommand(commandQueue().pop(), sf::Time::Zero);
    EXPECT_FLOAT_EQ(player.getTank()->getAcceleration().x, -900.f);
    EXPECT_TRUE(player.getTank()->isFacingLeft());
    EXPECT_FLOAT_EQ(player.getTank()->getVelocity().y, 0.f) << "no jump while falling";
}

TEST_F(PlayerTest, ColourCountersFillAndIgnoreUnknownIndices) {
    player.addColour(0);
    player.addColour(3);
    player.addColour(3);
    player.addColour(4);
    player.addColour(-1);
    EXPECT_EQ(player.getColours(), (std::array<int, 4>{1, 0, 0, 2}));
}

TEST_F(PlayerTest, SpendingPaysOneHitOfTheSpawnersColour) {
    SoundCounter sounds;
    Spawner red(6, 0, 0, 0);
    player.spendColour(red);
    EXPECT_EQ(red.getColour(), 0) << "nothing to pay with";
    EXPECT_EQ(sounds.started(), 0u);

    player.addColour(0);
    player.addColour(0);
    player.addColour(1);
    player.spendColour(red);
    EXPECT_EQ(red.getColour(), 1);
    EXPECT_EQ(player.getColours(), (std::array<int, 4>{1, 1, 0, 0}));
    EXPECT_EQ(sounds.started(), 1u);
    player.spendColour(red);
    EXPECT_EQ(red.getColour(), 2);
    EXPECT_EQ(player.getColours(), (std::array<int, 4>{1, 0, 0, 0}));

    Spawner blue(9, 0, 1, 1);
    player.addColour(3);
    player.addColour(3);
    player.spendColour(blue);
    EXPECT_LT(blue.getColour(), 0) << "a blue spawner is destroyed by one hit";
    player.spendColour(blue);
    EXPECT_EQ(player.getColours()[3], 1) << "a destroyed spawner takes nothing";
    EXPECT_EQ(sounds.started(), 3u);
}

} // namespace
