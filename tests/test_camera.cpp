#include "world/Camera.hpp"
#include "world/WorldGlobals.hpp"

#include <SFML/Graphics/Transformable.hpp>
#include <gtest/gtest.h>

namespace {

class CameraTest : public ::testing::Test {
protected:
    void SetUp() override {
        worldSize = {1280.f, 3600.f};
        camera.setViewSize({1280.f, 576.f});
        camera.reset(nullptr);
    }
    Camera camera;
};

TEST_F(CameraTest, StartsAtTheBottomOfTheLevel) {
    EXPECT_EQ(camera.getCenter(), sf::Vector2f(640.f, 3312.f));
    EXPECT_EQ(camera.getView().getSize(), sf::Vector2f(1280.f, 576.f));
    const sf::FloatRect viewport = camera.getView().getViewport();
    EXPECT_FLOAT_EQ(viewport.top, -0.2f);
    EXPECT_FLOAT_EQ(viewport.height, 1.f);
    EXPECT_FLOAT_EQ(viewport.width, 1.f);
}

TEST_F(CameraTest, FollowsOnlyUpwardsAndOnlyVertically) {
    sf::Transformable tank;
    tank.setPosition(900.f, 3400.f);
    camera.follow(&tank);
    EXPECT_EQ(camera.getCenter(), sf::Vector2f(640.f, 3312.f)) << "never below the level";
    tank.setPosition(100.f, 2000.f);
    camera.follow(&tank);
    EXPECT_EQ(camera.getCenter(), sf::Vector2f(640.f, 2000.f));
    camera.follow(nullptr);
    EXPECT_EQ(camera.getCenter(), sf::Vector2f(640.f, 2000.f)) << "no tank: the camera stays";
}

TEST_F(CameraTest, ResetOnATargetCentresOnIt) {
    sf::Transformable target;
    target.setPosition(10.f, 20.f);
    camera.reset(&target);
    EXPECT_EQ(camera.getCenter(), sf::Vector2f(10.f, 20.f));
    EXPECT_EQ(camera.getStartCenter(), sf::Vector2f(640.f, 3312.f));
}

} // namespace
