#pragma once

#include <cstdint>

namespace States {
enum States : std::int32_t {
    None = 0,
    Title = 1,
    Menu = 2,
    Loading = 3,
    Game = 4,
};
}
