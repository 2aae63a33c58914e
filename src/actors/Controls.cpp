#include "actors/Controls.hpp"

#include "actors/TankMover.hpp"
#include "core/CommandQueue.hpp"

void Controls::queueCommands(CommandQueue& commands) const {
    if (left)
        commands.push({TankMover(-DriveAcceleration, 0.f), Category::Tank});
    if (right)
        commands.push({TankMover(DriveAcceleration, 0.f), Category::Tank});
    if (jump)
        commands.push({tankJump, Category::Tank});
}
