#include "actors/Wolf.hpp"

#include "actors/Objects.hpp"
#include "actors/PowerUp.hpp"

#include "LevelTestSupport.hpp"

#include <gtest/gtest.h>

namespace {

using leveltest::GameFolder;

class WolfTest : public ::testing::Test {
protected:
    WolfTest() {
        // A wolf standing on the floor of a wide world, so only its horizontal motion changes.
        worldSize = {10000.f, 1000.f};
        wolf.setPosition(1000.f, 930.f);
    }

    // Updates in half-second steps.
    void play(int halfSeconds) {
        for (int i = 0; i < halfSeconds; ++i)
            wolf.update(sf::seconds(0.5f));
    }

    GameFolder folder;
    Wolf wolf{folder.holder};
};

TEST_F(WolfTest, StartsWalkingPictureActiveAndUnmarked) {
    EXPECT_EQ(wolf.getCategory(), Category::Animal);
    EXPECT_EQ(wolf.getKind(), 7);
    EXPECT_TRUE(wolf.isCollidable());
    EXPECT_EQ(wolf.getMode(), Modes::Active);
    EXPECT_FALSE(wolf.isMarked());
    EXPECT_EQ(wolf.getStunTime(), sf::seconds(15.f));
    EXPECT_EQ(wolf.getSize(), sf::Vector2f(50.f, 70.f));
    EXPECT_TRUE(folder.holder.get(Textures::DroneBasic).isSmooth());
}

TEST_F(WolfTest, ProbesFollowThePicture) {
    wolf.setPosition(100.f, 200.f);
    std::vector<sf::FloatRect> rects;
    wolf.getBoundingRect(rects);
    ASSERT_EQ(rects.size(), 5u);
    EXPECT_EQ(rects[0], sf::FloatRect(102.f, 200.f, 43.f, 70.f));
    EXPECT_EQ(rects[1], sf::FloatRect(111.f, 260.f, 27.f, 9.f));
    EXPECT_EQ(rects[2], sf::FloatRect(110.8f, 200.f, 30.f, 10.7f));
    EXPECT_EQ(rects[3], sf::FloatRect(102.f, 210.7f, 23.f, 49.3f));
    EXPECT_EQ(rects[4], sf::FloatRect(125.4f, 210.7f, 22.f, 49.3f));
}

TEST_F(WolfTest, WalksAtConstantSpeedWithoutDrag) {
    wolf.setVelocity(100.f, 0.f);
    play(4);
    EXPECT_EQ(wolf.getVelocity().x, 100.f);
    EXPECT_FLOAT_EQ(wolf.getPosition().x, 1200.f);
}

TEST_F(WolfTest, KnockedWolfStandsFifteenSecondsThenWalksFaster) {
    wolf.setVelocity(100.f, 0.f);
    wolf.knock();
    EXPECT_EQ(wolf.getMode(), Modes::Stunned);
    EXPECT_EQ(wolf.getVelocity().x, 0.f);
    play(29);
    EXPECT_EQ(wolf.getMode(), Modes::Stunned);
    EXPECT_FLOAT_EQ(wolf.getPosition().x, 1000.f);
    play(1);
    EXPECT_EQ(wolf.getMode(), Modes::Active);
    EXPECT_FLOAT_EQ(wolf.getVelocity().x, 145.f);
}

TEST_F(WolfTest, KnockedWhileWalkingLeftRecoversLeftwards) {
    wolf.setVelocity(-100.f, 0.f);
    wolf.knock();
    play(30);
    EXPECT_FLOAT_EQ(wolf.getVelocity().x, -145.f);
}

TEST_F(WolfTest, StandingWolfWakesUpStanding) {
    wolf.knock();
    wolf.recover();
    EXPECT_EQ(wolf.getMode(), Modes::Active);
    EXPECT_EQ(wolf.getVelocity().x, 0.f);
}

TEST_F(WolfTest, SecondKnockKeepsTheFirstStun) {
    wolf.setVelocity(100.f, 0.f);
    wolf.knock();
    play(20);
    // Were this a new stun, the wolf would save speed 0 and stand another 15 s.
    wolf.knock();
    play(10);
    EXPECT_EQ(wolf.getMode(), Modes::Active);
    EXPECT_FLOAT_EQ(wolf.getVelocity().x, 145.f);
}

TEST_F(WolfTest, StunnedWolfShowsTheStunnedPicture) {
    wolf.setVelocity(100.f, 0.f);
    wolf.update(sf::seconds(0.1f));
    EXPECT_EQ(wolf.getAnimation(Modes::Active).getShownRect(), sf::IntRect(0, 0, 50, 70));
    wolf.knock();
    wolf.update(sf::seconds(0.1f));
    EXPECT_EQ(wolf.getAnimation(Modes::Stunned).getShownRect(), sf::IntRect(50, 0, 50, 70));
    EXPECT_EQ(wolf.getSize(), sf::Vector2f(50.f, 70.f));
}

TEST_F(WolfTest, RecoverDoesNothingToAnActiveWolf) {
    wolf.setVelocity(-80.f, 0.f);
    wolf.recover();
    EXPECT_EQ(wolf.getVelocity().x, -80.f);
    EXPECT_EQ(wolf.getMode(), Modes::Active);
}

TEST_F(WolfTest, OpponentsRecoverEndsAStunEarly) {
    wolf.setVelocity(200.f, 0.f);
    wolf.knock();
    play(2);
    wolf.recover();
    EXPECT_EQ(wolf.getMode(), Modes::Active);
    EXPECT_FLOAT_EQ(wolf.getVelocity().x, 265.f);
}

TEST_F(WolfTest, SpeedIsHeldWithinFiveHundred) {
    wolf.setVelocity(700.f, 0.f);
    wolf.update(sf::seconds(0.01f));
    EXPECT_EQ(wolf.getVelocity().x, 500.f);
    wolf.setVelocity(-800.f, 0.f);
    wolf.update(sf::seconds(0.01f));
    EXPECT_EQ(wolf.getVelocity().x, -500.f);
    wolf.setVelocity(499.f, 0.f);
    wolf.update(sf::seconds(0.01f));
    EXPECT_EQ(wolf.getVelocity().x, 499.f);
}

TEST_F(WolfTest, MarkedWolfVanishesAndLeavesAYellowPowerUp) {
    wolf.mark();
    EXPECT_TRUE(wolf.isMarked());
    wolf.setVelocity(100.f, 0.f);
    const std::size_t sounds = soundPlayer().getSoundCount();
    wolf.knock();
    EXPECT_EQ(soundPlayer().getSoundCount(), sounds + 1);
    EXPECT_EQ(wolf.getMode(), Modes::Vanishing);
    EXPECT_TRUE(wolf.isDestroyed());
    EXPECT_TRUE(wolf.isMarkedForRemoval());

    auto commands = leveltest::takeCommands();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].category, Category::Objects);
    Objects objects;
    objects.onCommand(commands[0], sf::Time::Zero);
    ASSERT_EQ(objects.getChildren().size(), 1u);
    const auto& token = dynamic_cast<const PowerUp&>(*objects.getChildren()[0]);
    EXPECT_EQ(token.getKindOfPowerUp(), 1);
    // Standing on the wolf's position (1000, 930) with its 32-pixel picture.
    EXPECT_EQ(token.getPosition(), sf::Vector2f(1000.f, 898.f));

    // Knocked again in the same frame (two hopping blocks), it gives nothing more.
    wolf.knock();
    EXPECT_TRUE(commandQueue().isEmpty());
}

TEST_F(WolfTest, StunnedMarkedWolfIsNotKnockedAgain) {
    wolf.knock();
    wolf.mark();
    wolf.knock();
    EXPECT_EQ(wolf.getMode(), Modes::Stunned);
    EXPECT_TRUE(commandQueue().isEmpty());
}

// Two wolves side by side on the floor, this one at x = a, the other at x = b.
class WolfPairTest : public WolfTest {
protected:
    void meet(float a, float va, float b, float vb) {
        wolf.setPosition(a, 930.f);
        wolf.setVelocity(va, 0.f);
        other.setPosition(b, 930.f);
        other.setVelocity(vb, 0.f);
        wolf.onCollision(other, {});
    }
    Wolf other{folder.holder};
};

TEST_F(WolfPairTest, SeparateAroundTheirMidpoint) {
    meet(100.f, 100.f, 120.f, -100.f);
    EXPECT_EQ(other.getPosition(), sf::Vector2f(137.f, 930.f));
    EXPECT_EQ(wolf.getPosition(), sf::Vector2f(83.f, 930.f));
    meet(120.f, 100.f, 100.f, -100.f);
    EXPECT_EQ(other.getPosition(), sf::Vector2f(83.f, 930.f));
    EXPECT_EQ(wolf.getPosition(), sf::Vector2f(137.f, 930.f));
}

TEST_F(WolfPairTest, HeadOnBothTurn) {
    meet(100.f, 100.f, 120.f, -100.f);
    EXPECT_EQ(wolf.getVelocity().x, -100.f);
    EXPECT_EQ(other.getVelocity().x, 100.f);
}

TEST_F(WolfPairTest, WalkingRightOnlyTheRearOneTurns) {
    meet(100.f, 100.f, 120.f, 80.f);
    EXPECT_EQ(wolf.getVelocity().x, -100.f);
    EXPECT_EQ(other.getVelocity().x, 80.f);
    meet(120.f, 100.f, 100.f, 80.f);
    EXPECT_EQ(wolf.getVelocity().x, 100.f);
    EXPECT_EQ(other.getVelocity().x, -80.f);
}

TEST_F(WolfPairTest, WalkingLeftOnlyTheRearOneTurns) {
    meet(100.f, -100.f, 120.f, -80.f);
    EXPECT_EQ(wolf.getVelocity().x, -100.f);
    EXPECT_EQ(other.getVelocity().x, 80.f);
    meet(120.f, -100.f, 100.f, -80.f);
    EXPECT_EQ(wolf.getVelocity().x, 100.f);
    EXPECT_EQ(other.getVelocity().x, -80.f);
}

TEST_F(WolfPairTest, WalkingIntoAStandingWolfTurnsTheWalker) {
    meet(100.f, 100.f, 120.f, 0.f);
    EXPECT_EQ(wolf.getVelocity().x, -100.f);
    EXPECT_EQ(other.getVelocity().x, 0.f);
}

} // namespace
