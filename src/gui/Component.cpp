#include "gui/Component.hpp"

namespace GUI {

Component::~Component() = default;

void Component::setHovered(bool flag) {
    hovered = flag;
}

void Component::setActive(bool flag) {
    active = flag;
}

bool Component::isActive() const {
    return active;
}

bool Component::isTriggered() const {
    return triggered;
}

bool Component::handleEvent(const sf::Event&) {
    return false;
}

void Component::setPixelsPerUnit(float) {}

bool Component::isSelectable() const {
    return false;
}

} // namespace GUI
