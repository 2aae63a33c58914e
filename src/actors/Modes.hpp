#pragma once
// Behaviour modes of the animals, the keys of their animation maps. 2 and 3 are never used.

#include <cstdint>

namespace Modes {
enum Modes : std::int32_t {
    Active = 0,
    Stunned = 1,
    Vanishing = 4,
};
}
