#include "world/Camera.hpp"

#include "world/WorldGlobals.hpp"

#include <SFML/Graphics/Transformable.hpp>

#include <algorithm>

namespace {
// The view's share that lies above the window.
const float HiddenTop = 0.2f;
} // namespace

void Camera::setViewSize(sf::Vector2f size) {
    viewSize = size;
}

void Camera::reset(const sf::Transformable* target) {
    worldSize = ::worldSize;
    startCenter = {viewSize.x / 2.f, worldSize.y - viewSize.y / 2.f};
    view.setSize(viewSize);
    view.setViewport(sf::FloatRect(0.f, -HiddenTop, 1.f, 1.f));
    view.setCenter(target ? target->getPosition() : startCenter);
}

void Camera::follow(const sf::Transformable* target) {
    if (!target)
        return;
    view.setCenter(view.getCenter().x, std::min(target->getPosition().y, startCenter.y));
}

sf::Vector2f Camera::getCenter() const {
    return view.getCenter();
}

sf::FloatRect Camera::getVisibleArea() const {
    const sf::Vector2f size = view.getSize();
    const sf::Vector2f topLeft = view.getCenter() - size / 2.f;
    return {topLeft.x, topLeft.y + HiddenTop * size.y, size.x, (1.f - HiddenTop) * size.y};
}
