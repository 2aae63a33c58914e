#include "actors/Animation.hpp"

#include <SFML/Graphics/Texture.hpp>
#include <gtest/gtest.h>

namespace {

const sf::Time Tenth = sf::milliseconds(100);

sf::Texture sheet(unsigned width, unsigned height) {
    sf::Texture texture;
    EXPECT_TRUE(texture.create(width, height));
    return texture;
}

// Five 128 × 128 frames in half a second: one frame every 0.1 s.
Animation fiveFrames(const sf::Texture& texture, bool repeating) {
    Animation animation(texture, {0, 0, 128, 128});
    animation.setNumFrames(5);
    animation.setDuration(sf::seconds(0.5f));
    animation.setRepeating(repeating);
    return animation;
}

TEST(AnimationSteps, OneShotWalksTheRowThenShowsNothing) {
    const sf::Texture texture = sheet(640, 128);
    Animation animation = fiveFrames(texture, false);
    animation.update(sf::Time::Zero);
    EXPECT_EQ(animation.getShownRect(), sf::IntRect(0, 0, 128, 128));
    for (int left : {128, 256, 384, 512}) {
        animation.update(Tenth);
        EXPECT_EQ(animation.getShownRect(), sf::IntRect(left, 0, 128, 128));
        EXPECT_FALSE(animation.isFinished());
    }
    animation.update(Tenth);
    EXPECT_TRUE(animation.isFinished());
    EXPECT_EQ(animation.getShownRect(), sf::IntRect(0, 0, 0, 0));

    animation.restart();
    animation.update(sf::Time::Zero);
    EXPECT_EQ(animation.getShownRect(), sf::IntRect(0, 0, 128, 128));
    EXPECT_FALSE(animation.isFinished());

    animation.update(sf::seconds(2.f));
    EXPECT_TRUE(animation.isFinished());
    EXPECT_EQ(animation.getShownRect(), sf::IntRect(0, 0, 0, 0)) << "a finished one stays empty";
}

TEST(AnimationSteps, FrameThatWouldPassTheRightEdgeStartsTheNextRow) {
    const sf::Texture texture = sheet(256, 256);
    Animation animation = fiveFrames(texture, false);
    animation.update(Tenth);
    EXPECT_EQ(animation.getShownRect(), sf::IntRect(128, 0, 128, 128));
    animation.update(Tenth);
    EXPECT_EQ(animation.getShownRect(), sf::IntRect(0, 128, 128, 128));
    animation.update(Tenth);
    EXPECT_EQ(animation.getShownRect(), sf::IntRect(128, 128, 128, 128));
}

TEST(AnimationSteps, LongUpdateStepsSeveralFramesAndKeepsTheRest) {
    const sf::Texture texture = sheet(640, 128);
    Animation animation = fiveFrames(texture, true);
    animation.update(sf::milliseconds(350));
    EXPECT_EQ(animation.getCurrentFrame(), 3u);
    EXPECT_EQ(animation.getShownRect(), sf::IntRect(384, 0, 128, 128));
    animation.update(sf::milliseconds(40));
    EXPECT_EQ(animation.getCurrentFrame(), 3u) << "0.09 s kept: not yet a frame";
    animation.update(sf::milliseconds(10));
    EXPECT_EQ(animation.getCurrentFrame(), 4u);
    animation.update(Tenth);
    EXPECT_EQ(animation.getShownRect(), sf::IntRect(0, 0, 128, 128)) << "loops to the start";
    EXPECT_FALSE(animation.isFinished());
}

TEST(AnimationSteps, RepeatingLoopReturnsToAFirstFrameAwayFromTheOrigin) {
    const sf::Texture texture = sheet(200, 70);
    Animation animation(texture, {50, 0, 50, 70});
    animation.setNumFrames(3);
    animation.setDuration(sf::seconds(0.3f));
    animation.setRepeating(true);
    animation.update(sf::Time::Zero);
    EXPECT_EQ(animation.getShownRect(), sf::IntRect(50, 0, 50, 70));
    animation.update(Tenth);
    EXPECT_EQ(animation.getShownRect(), sf::IntRect(100, 0, 50, 70));
    animation.update(Tenth);
    EXPECT_EQ(animation.getShownRect(), sf::IntRect(150, 0, 50, 70));
    animation.update(Tenth);
    EXPECT_EQ(animation.getShownRect(), sf::IntRect(50, 0, 50, 70));
}

TEST(AnimationSteps, SingleRepeatingFrameAndZeroDurationHoldTheirFrame) {
    const sf::Texture texture = sheet(640, 128);
    Animation single(texture, {0, 0, 128, 128});
    single.setNumFrames(1);
    single.setDuration(sf::seconds(0.2f));
    single.setRepeating(true);
    single.update(sf::seconds(7.3f));
    EXPECT_EQ(single.getShownRect(), sf::IntRect(0, 0, 128, 128));
    EXPECT_FALSE(single.isFinished());

    Animation instant = fiveFrames(texture, true);
    instant.setDuration(sf::Time::Zero);
    instant.update(sf::seconds(1.f)); // must return
    EXPECT_EQ(instant.getShownRect(), sf::IntRect(0, 0, 128, 128));
}

TEST(AnimationBounds, GlobalBoundsFollowTheAnimationsOwnTransform) {
    const sf::Texture texture = sheet(640, 128);
    Animation animation = fiveFrames(texture, false);
    animation.setPosition(10.f, 20.f);
    animation.setScale(2.f, 2.f);
    EXPECT_EQ(animation.getLocalBounds(), sf::FloatRect(0.f, 0.f, 128.f, 128.f));
    EXPECT_EQ(animation.getGlobalBounds(), sf::FloatRect(10.f, 20.f, 256.f, 256.f));
}

} // namespace
