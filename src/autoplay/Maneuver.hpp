#pragma once

#include "actors/Controls.hpp"
#include "autoplay/TankSimulator.hpp"

// A move the automatic player makes from standing still: perhaps a jump at the start, one
// direction held for a while, then braking against the motion until the tank stands again. The
// same controls, frame by frame, whether it is rehearsed or played, so a rehearsal from the state
// the tank is really in tells where the move ends.
struct Maneuver {
    int direction = 0; // -1 left, +1 right, 0 none
    bool jump = false;
    int steerFrom = 0;   // first frame the direction is held
    int steerFrames = 0; // how many frames it is held
    int jumpFrom = 0;    // the frame Jump is pressed, when it is

    // A move ends once the tank stands again; one still in the air by then has failed.
    static constexpr int MaxFrames = 240;

    Controls controls(int frame, const TankSimulator::State& state) const;
    // The last frame the move steers or jumps; it is over once the tank stands after it.
    int lastSteeredFrame() const;

    // Holds the opposite of the way the tank will move in the next step (or is about to move,
    // driven from standstill), which stops it without turning it round; nothing once it is still.
    static Controls brake(const TankSimulator::State& state);
    // How far the tank still moves along x, on open ground, braked from now on.
    static float stoppingDistance(const TankSimulator::State& state);
};
