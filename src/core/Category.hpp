#pragma once
// Category bits of scene nodes: a command reaches every node whose category shares a bit with it.

#include <cstdint>

namespace Category {
enum Type : std::uint32_t {
    None = 0,
    HUD = 1,
    Platform = 2,
    Tank = 4,
    Animal = 8,
    Opponent = 16,
    PowerUp = 32,
    Objects = 64,
    Player = 128,
};
}
