#include "world/Physics.hpp"

#include <gtest/gtest.h>

namespace {

const sf::Time Tenth = sf::seconds(0.1f);

TEST(PhysicsGravity, BodyInTheAirGainsDownwardSpeedEachStep) {
    Physics body;
    body.step(Tenth);
    EXPECT_FLOAT_EQ(body.getVelocity().y, 150.f);
    EXPECT_FLOAT_EQ(body.getAcceleration().y, 1500.f);
    body.step(Tenth);
    EXPECT_FLOAT_EQ(body.getVelocity().y, 300.f);
}

TEST(PhysicsGravity, GroundedBodyKeepsItsVerticalSpeedForOneStepOnly) {
    Physics body;
    body.setAcceleration(0.f, 1500.f);
    body.setGrounded();
    EXPECT_TRUE(body.isGrounded());
    body.step(Tenth);
    EXPECT_FLOAT_EQ(body.getVelocity().y, 0.f);
    EXPECT_FLOAT_EQ(body.getAcceleration().y, 0.f);
    EXPECT_FALSE(body.isGrounded()) << "the blocks must ground it again every frame";
    body.step(Tenth);
    EXPECT_FLOAT_EQ(body.getVelocity().y, 150.f);
}

TEST(PhysicsJump, NeedsVerticalSpeedAndAccelerationBothExactlyZero) {
    Physics resting;
    resting.jump();
    EXPECT_FLOAT_EQ(resting.getVelocity().y, -700.f);

    Physics atApex;
    atApex.setAcceleration(0.f, 1500.f);
    atApex.jump();
    EXPECT_FLOAT_EQ(atApex.getVelocity().y, 0.f);

    Physics falling;
    falling.setVelocity(0.f, 0.5f);
    falling.jump();
    EXPECT_FLOAT_EQ(falling.getVelocity().y, 0.5f);
}

TEST(PhysicsDrag, OpposesTheMotionAndVanishesAtRest) {
    Physics body;
    body.setDragCoefficients({0.9, 0.0005});
    EXPECT_DOUBLE_EQ(body.drag(100.0), -95.0);
    EXPECT_DOUBLE_EQ(body.drag(-100.0), 95.0);
    EXPECT_DOUBLE_EQ(body.drag(0.0), 0.0);
    EXPECT_DOUBLE_EQ(Physics().drag(100.0), 0.0) << "bodies other than the tank feel no drag";
}

TEST(PhysicsDrag, BrakingAccumulatesWhileNothingRewritesTheAcceleration) {
    Physics body;
    body.setDragCoefficients({0.9, 0.0005});
    body.setGrounded();
    body.setVelocity(100.f, 0.f);
    body.step(Tenth);
    EXPECT_FLOAT_EQ(body.getAcceleration().x, -95.f);
    EXPECT_FLOAT_EQ(body.getVelocity().x, 90.5f);
    // drag(90.5) = -(81.45 + 4.095125); added to the -95 already there.
    body.step(Tenth);
    EXPECT_NEAR(body.getAcceleration().x, -180.545, 1e-3);
    EXPECT_NEAR(body.getVelocity().x, 72.445, 1e-3);
}

TEST(PhysicsDrag, SignChangeStopsTheBodyInsteadOfReversingIt) {
    Physics rightwards;
    rightwards.setVelocity(5.f, 0.f);
    rightwards.setAcceleration(-200.f, 0.f);
    rightwards.step(Tenth);
    EXPECT_EQ(rightwards.getVelocity().x, 0.f);
    EXPECT_EQ(rightwards.getAcceleration().x, 0.f);

    Physics leftwards;
    leftwards.setVelocity(-5.f, 0.f);
    leftwards.setAcceleration(200.f, 0.f);
    leftwards.step(Tenth);
    EXPECT_EQ(leftwards.getVelocity().x, 0.f);
    EXPECT_EQ(leftwards.getAcceleration().x, 0.f);
}

TEST(PhysicsDrag, StepFromRestStartsMovingWithoutASignTest) {
    Physics body;
    body.setDragCoefficients({0.9, 0.0005});
    body.setAcceleration(300.f, 0.f);
    body.step(Tenth);
    EXPECT_FLOAT_EQ(body.getVelocity().x, 30.f);
    EXPECT_FLOAT_EQ(body.getAcceleration().x, 300.f);
}

} // namespace
