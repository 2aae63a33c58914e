#include "world/Physics.hpp"

#include <cmath>

const sf::Time Physics::Step = sf::seconds(1.f / 60.f);

Physics::Physics() = default;

void Physics::jump() {
    if (velocity.y == 0.f && acceleration.y == 0.f)
        velocity.y = JumpSpeed;
}

double Physics::drag(double v) const {
    const double sign = v >= 0.0 ? 1.0 : -1.0;
    return -sign * (std::abs(v) * dragCoefficients.linear + v * v * dragCoefficients.quadratic);
}

void Physics::step(sf::Time dt) {
    acceleration.y = grounded ? 0.f : static_cast<float>(Gravity);
    // Added, not assigned: while no drive rewrites it, the braking grows from frame to frame.
    acceleration.x = static_cast<float>(acceleration.x + drag(velocity.x));

    const double oldSpeed = velocity.x;
    velocity += acceleration * dt.asSeconds();

    // The accumulated braking is dropped at the moment it stops the body.
    if (oldSpeed != 0.0 && std::signbit(oldSpeed) != std::signbit(velocity.x)) {
        acceleration.x = 0.f;
        velocity.x = 0.f;
    }
    grounded = false;
}
