#include "actors/Entity.hpp"

#include "ActorTestSupport.hpp"

#include <gtest/gtest.h>

namespace {

using actortest::ScopedWorldSize;

// The smallest possible actor: its size is whatever the test gives it.
class Body : public Entity {
public:
    Body(float width, float height) { setSize({width, height}); }
    using Entity::collisionRects;
    void advance(sf::Time dt) { update(dt); }
};

TEST(EntityLife, StartsAliveWithFiveEmptyRectanglesAndDestroyIsForever) {
    Body body(50.f, 50.f);
    for (const sf::FloatRect& rect : body.collisionRects)
        EXPECT_EQ(rect, sf::FloatRect());
    EXPECT_FALSE(body.isDestroyed());
    EXPECT_FALSE(body.isMarkedForRemoval());
    body.destroy();
    body.destroy();
    EXPECT_TRUE(body.isDestroyed());
    EXPECT_TRUE(body.isMarkedForRemoval());
}

TEST(EntityMove, MovesByTheVelocityAfterThePhysicsStep) {
    ScopedWorldSize world(1000.f, 600.f);
    Body body(50.f, 50.f);
    body.setPosition(300.f, 0.f);
    body.setVelocity(200.f, -100.f);
    body.advance(sf::seconds(0.5f));
    // Vertical speed after the step: -100 + 1500 × 0.5 = 650.
    EXPECT_FLOAT_EQ(body.getPosition().x, 400.f);
    EXPECT_FLOAT_EQ(body.getPosition().y, 325.f);
}

TEST(EntityEdges, WrapsAroundTheSidesWithTheTwentyPixelMargin) {
    ScopedWorldSize world(1000.f, 600.f);
    Body body(50.f, 50.f);
    body.setPosition(980.f, 100.f);
    body.advance(sf::Time::Zero);
    EXPECT_FLOAT_EQ(body.getPosition().x, -30.f) << "right edge now at x = 20";

    body.advance(sf::Time::Zero);
    EXPECT_FLOAT_EQ(body.getPosition().x, 980.f) << "x + 50 = 20 comes back in on the right";

    body.setPosition(-29.f, 100.f);
    body.advance(sf::Time::Zero);
    EXPECT_FLOAT_EQ(body.getPosition().x, -29.f);
    EXPECT_FLOAT_EQ(body.getPosition().y, 100.f);
}

TEST(EntityEdges, WrapIsDecidedByPositionEvenWhenMovingBack) {
    ScopedWorldSize world(1000.f, 600.f);
    Body body(50.f, 50.f);
    body.setPosition(990.f, 100.f);
    body.setVelocity(-100.f, 0.f);
    body.advance(sf::seconds(0.1f)); // moves to 980 first
    EXPECT_FLOAT_EQ(body.getPosition().x, -30.f);
}

TEST(EntityEdges, FloorHoldsTheBodyAndLeavesItReadyToJump) {
    ScopedWorldSize world(1000.f, 600.f);
    Body body(50.f, 76.f);
    body.setPosition(100.f, 485.f);
    body.setVelocity(0.f, 300.f);
    body.advance(sf::seconds(0.1f)); // speed 450, so y = 530 after the move
    EXPECT_FLOAT_EQ(body.getPosition().y, 524.f);
    EXPECT_FLOAT_EQ(body.getVelocity().y, 0.f);
    EXPECT_FLOAT_EQ(body.getAcceleration().y, 0.f);
    body.jump();
    EXPECT_FLOAT_EQ(body.getVelocity().y, -700.f);
}

TEST(EntityEdges, FloorKeepsAnUpwardSpeed) {
    ScopedWorldSize world(1000.f, 600.f);
    Body body(50.f, 76.f);
    body.setPosition(100.f, 524.f);
    body.setVelocity(0.f, -700.f);
    body.advance(sf::Time::Zero);
    EXPECT_FLOAT_EQ(body.getVelocity().y, -700.f);
    EXPECT_FLOAT_EQ(body.getAcceleration().y, 0.f);
}

TEST(EntityEdges, DestroyedBodyFallsThroughTheFloor) {
    ScopedWorldSize world(1000.f, 600.f);
    Body body(50.f, 76.f);
    body.setPosition(100.f, 590.f);
    body.destroy();
    body.advance(sf::seconds(0.1f));
    EXPECT_FLOAT_EQ(body.getPosition().y, 605.f);
    EXPECT_FLOAT_EQ(body.getVelocity().y, 150.f);
    EXPECT_FLOAT_EQ(body.getAcceleration().y, 1500.f);
}

} // namespace
