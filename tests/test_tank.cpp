#include "actors/Tank.hpp"
#include "actors/TankMover.hpp"

#include "ActorTestSupport.hpp"

#include <SFML/Graphics/RenderTexture.hpp>
#include <gtest/gtest.h>

namespace {

using actortest::ScopedTextures;
using actortest::ScopedWorldSize;

void expectRect(const sf::FloatRect& actual, float left, float top, float width, float height) {
    EXPECT_NEAR(actual.left, left, 1e-3);
    EXPECT_NEAR(actual.top, top, 1e-3);
    EXPECT_NEAR(actual.width, width, 1e-3);
    EXPECT_NEAR(actual.height, height, 1e-3);
}

// Colour of the tank's picture at a point of its own bounds, drawn at the origin.
sf::Color pixelOf(const Tank& tank, unsigned x, unsigned y) {
    sf::RenderTexture canvas;
    EXPECT_TRUE(canvas.create(100, 100));
    canvas.clear(sf::Color::Black);
    canvas.draw(tank);
    canvas.display();
    return canvas.getTexture().copyToImage().getPixel(x, y);
}

class TankTest : public ::testing::Test {
protected:
    ScopedTextures textures;
    ScopedWorldSize world{1000.f, 600.f};
    Tank tank;
};

TEST_F(TankTest, IsACollidableDraggedBodyOfCategoryFour) {
    EXPECT_EQ(tank.getCategory(), 4u);
    EXPECT_TRUE(tank.isCollidable());
    EXPECT_DOUBLE_EQ(tank.getDragCoefficients().linear, 0.9);
    EXPECT_DOUBLE_EQ(tank.getDragCoefficients().quadratic, 0.0005);
    EXPECT_EQ(tank.getSize(), sf::Vector2f(55.f, 76.f));
    EXPECT_TRUE(textures.holder.get(Textures::Tank).isSmooth());
    EXPECT_TRUE(textures.holder.get(Textures::TankExplosion).isSmooth());
}

TEST_F(TankTest, CollisionRectanglesFollowThePictureInTheWorld) {
    SceneNode parent;
    parent.setPosition(40.f, 50.f);
    auto owned = std::make_unique<Tank>();
    Tank& placed = *owned;
    parent.attachChild(std::move(owned));
    placed.setPosition(60.f, 150.f); // world position (100, 200)

    std::vector<sf::FloatRect> rects;
    placed.getBoundingRect(rects);
    ASSERT_EQ(rects.size(), 5u);
    expectRect(rects[0], 100.5f, 200.f, 54.2f, 76.f);
    expectRect(rects[1], 113.f, 260.f, 29.f, 15.7f);
    expectRect(rects[2], 103.7f, 200.f, 47.5f, 18.f);
    expectRect(rects[3], 100.5f, 218.f, 27.5f, 43.f);
    expectRect(rects[4], 128.f, 218.f, 26.7f, 43.f);

    placed.accelerate({-900.f, 0.f});
    placed.getBoundingRect(rects);
    expectRect(rects[0], 100.5f, 200.f, 54.2f, 76.f); // facing left mirrors only the picture

    placed.destroy();
    placed.getBoundingRect(rects);
    ASSERT_EQ(rects.size(), 1u) << "a wreck has no probes";
    expectRect(rects[0], 0.f, 0.f, 0.f, 0.f);
}

TEST_F(TankTest, DriveSetsTheAccelerationAndTheFacing) {
    EXPECT_EQ(pixelOf(tank, 5, 38), actortest::Rear);
    tank.accelerate({-900.f, 0.f});
    EXPECT_FLOAT_EQ(tank.getAcceleration().x, -900.f);
    EXPECT_TRUE(tank.isFacingLeft());
    EXPECT_EQ(pixelOf(tank, 5, 38), actortest::Front) << "the mirrored picture has its rear right";
    EXPECT_EQ(pixelOf(tank, 50, 38), actortest::Rear);
    EXPECT_EQ(tank.getSize(), sf::Vector2f(55.f, 76.f));

    tank.accelerate({0.f, 0.f});
    EXPECT_FLOAT_EQ(tank.getAcceleration().x, 0.f);
    EXPECT_TRUE(tank.isFacingLeft()) << "no drive keeps the facing";

    TankMover(900.f, 0.f)(tank, sf::Time::Zero);
    EXPECT_FLOAT_EQ(tank.getAcceleration().x, 900.f);
    EXPECT_FALSE(tank.isFacingLeft());
}

TEST_F(TankTest, JumpsAt775FromTheFloorOnlyWhenVerticallyAtRest) {
    tank.setPosition(100.f, 524.f);
    tank.update(sf::Time::Zero); // the floor cancels gravity
    tankJump(tank, sf::Time::Zero);
    EXPECT_FLOAT_EQ(tank.getVelocity().y, -775.f);

    tank.setVelocity(0.f, -100.f);
    tank.jump();
    EXPECT_FLOAT_EQ(tank.getVelocity().y, -100.f);
}

TEST_F(TankTest, WreckHopsOnceAndIgnoresTheDrive) {
    tank.setVelocity(30.f, 0.f);
    tank.destroy();
    EXPECT_TRUE(tank.isDestroyed());
    EXPECT_EQ(tank.getVelocity(), sf::Vector2f(30.f, -400.f));
    EXPECT_EQ(tank.getSize(), sf::Vector2f(65.f, 65.f));
    EXPECT_EQ(pixelOf(tank, 60, 60), sf::Color::Yellow);

    tank.setVelocity(30.f, -100.f);
    tank.destroy();
    EXPECT_FLOAT_EQ(tank.getVelocity().y, -100.f) << "a second destroy does not hop again";
    EXPECT_EQ(tank.getSize(), sf::Vector2f(65.f, 65.f));

    tank.accelerate({-900.f, 0.f});
    EXPECT_FLOAT_EQ(tank.getAcceleration().x, 0.f);
    EXPECT_FALSE(tank.isFacingLeft());
}

TEST_F(TankTest, WreckIsRemovedFiveHundredPixelsBelowTheWorld) {
    tank.setPosition(100.f, 1099.f);
    EXPECT_FALSE(tank.isMarkedForRemoval()) << "an intact tank is never removed";
    tank.destroy();
    EXPECT_FALSE(tank.isMarkedForRemoval());
    tank.setPosition(100.f, 1100.f);
    EXPECT_TRUE(tank.isMarkedForRemoval());
}

TEST_F(TankTest, WreckRisesThenFallsThroughTheFloorAndLeavesTheScene) {
    SceneNode root;
    auto owned = std::make_unique<Tank>();
    Tank& wreck = *owned;
    root.attachChild(std::move(owned));
    wreck.setPosition(100.f, 524.f);
    wreck.destroy();
    const sf::Time frame = sf::seconds(1.f / 60.f);
    root.update(frame);
    EXPECT_LT(wreck.getPosition().y, 524.f);
    float lowest = 0.f;
    for (int i = 0; i < 180 && !root.getChildren().empty(); ++i) {
        lowest = wreck.getPosition().y;
        root.update(frame);
        root.removeWrecks();
    }
    EXPECT_TRUE(root.getChildren().empty());
    EXPECT_GT(lowest, 900.f) << "it fell well below the floor before it went";
}

TEST(TankMoverTargets, NodesOtherThanTanksAreLeftAlone) {
    class Crate : public Entity {};
    Crate crate;
    TankMover(-900.f, 0.f)(crate, sf::Time::Zero);
    tankJump(crate, sf::Time::Zero);
    EXPECT_EQ(crate.getAcceleration(), sf::Vector2f());
    EXPECT_EQ(crate.getVelocity(), sf::Vector2f());
}

} // namespace
