#pragma once

#include "core/Category.hpp"

#include <SFML/System/Time.hpp>

#include <cstdint>
#include <functional>

class SceneNode;

// Something to do to every scene node of the given categories; delivered by the world.
struct Command {
    std::function<void(SceneNode&, sf::Time)> action;
    std::uint32_t category = Category::None;
};
