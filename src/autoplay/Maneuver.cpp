#include "autoplay/Maneuver.hpp"

#include <algorithm>
#include <cmath>

Controls Maneuver::controls(int frame, const TankSimulator::State& state) const {
    Controls controls;
    if (frame >= steerFrom && frame < steerFrom + steerFrames) {
        controls.left = direction < 0;
        controls.right = direction > 0;
    } else if (frame >= steerFrom + steerFrames) {
        controls = brake(state);
    }
    // A tank resting on a block can jump only every other step, so Jump is held for two.
    controls.jump = jump && frame >= jumpFrom && frame < jumpFrom + 2;
    return controls;
}

namespace {

// The tank's own point physics, without the map.
Physics bodyOf(const TankSimulator::State& state) {
    Physics body;
    body.setDragCoefficients(Tank::Drag);
    body.setVelocity(state.velocity);
    body.setAcceleration(state.acceleration);
    body.setGrounded(state.grounded);
    return body;
}

} // namespace

int Maneuver::lastSteeredFrame() const {
    return std::max(steerFrom + steerFrames, jump ? jumpFrom + 1 : 0);
}

Controls Maneuver::brake(const TankSimulator::State& state) {
    // Held now, a control only acts after the next step, which still runs on the drive already
    // set: brake against the motion that step leaves.
    Physics next = bodyOf(state);
    next.step(Physics::Step);
    const float motion =
        next.getVelocity().x != 0.f ? next.getVelocity().x : next.getAcceleration().x;
    Controls controls;
    controls.left = motion > 0.f;
    controls.right = motion < 0.f;
    return controls;
}

float Maneuver::stoppingDistance(const TankSimulator::State& state) {
    Physics body = bodyOf(state);
    float travelled = 0.f;
    for (int i = 0; i < 120 && (body.getVelocity().x != 0.f || body.getAcceleration().x != 0.f);
         ++i) {
        const Controls controls = brake({{}, body.getVelocity(), body.getAcceleration(), false});
        body.step(Physics::Step);
        travelled += body.getVelocity().x * Physics::Step.asSeconds();
        if (controls.left || controls.right)
            body.setAcceleration(controls.left ? -Controls::DriveAcceleration
                                               : Controls::DriveAcceleration,
                                 body.getAcceleration().y);
    }
    return std::abs(travelled);
}
