#pragma once

#include <SFML/System/Time.hpp>
#include <SFML/System/Vector2.hpp>

// Horizontal drag: linear and quadratic terms of the speed.
struct DragCoefficients {
    double linear = 0, quadratic = 0;
};

// The point physics of every moving actor: velocity, acceleration, horizontal drag and the
// grounded flag. Positions are not kept here; the entity moves its node after each step.
// y grows downwards, so gravity is positive and a jump has a negative vertical speed.
class Physics {
public:
    static constexpr double Gravity = 1500.0;
    static constexpr float JumpSpeed = -700.f;
    // The longest step of play, a 60 Hz frame: a longer frame is played in several, and a demo or
    // a run at fixed steps plays in steps of exactly this.
    static const sf::Time Step;

    Physics();
    virtual ~Physics() = default;

    // Works only for a body at rest vertically: vertical speed and acceleration both exactly 0,
    // which is the state a body standing on a block or on the floor is left in.
    virtual void jump();
    // Gravity unless grounded, drag added to the horizontal acceleration, velocity advanced.
    // Drag may stop a body but never reverses it: when the horizontal speed changes sign, speed
    // and horizontal acceleration both become 0. Clears grounded.
    void step(sf::Time dt);

    sf::Vector2f getVelocity() const { return velocity; }
    void setVelocity(float x, float y) { velocity = {x, y}; }
    void setVelocity(sf::Vector2f v) { velocity = v; }
    sf::Vector2f getAcceleration() const { return acceleration; }
    void setAcceleration(float x, float y) { acceleration = {x, y}; }
    void setAcceleration(sf::Vector2f a) { acceleration = a; }
    // Set by the blocks when the body lands on one; lasts until the next step.
    void setGrounded(bool value = true) { grounded = value; }
    bool isGrounded() const { return grounded; }

    // Opposes the motion, 0 at rest; a NaN speed counts as moving left.
    double drag(double v) const;
    void setDragCoefficients(DragCoefficients c) { dragCoefficients = c; }
    DragCoefficients getDragCoefficients() const { return dragCoefficients; }

private:
    sf::Vector2f velocity;
    sf::Vector2f acceleration;
    DragCoefficients dragCoefficients;
    bool grounded = false;
};
