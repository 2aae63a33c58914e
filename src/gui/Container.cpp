#include "gui/Container.hpp"

#include "gui/Component.hpp"

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Window/Event.hpp>
#include <SFML/Window/Mouse.hpp>
#include <SFML/Window/Window.hpp>

namespace GUI {

namespace {

bool isMouseButtonEvent(const sf::Event& event) {
    return event.type == sf::Event::MouseButtonPressed ||
           event.type == sf::Event::MouseButtonReleased;
}

} // namespace

Container::Container(const sf::Window& window) : window(&window) {}

Container::~Container() = default;

void Container::pack(Component* component) {
    children.push_back(component);
}

void Container::handleEvent(const sf::Event& event) {
    handleEvent(event, isMouseButtonEvent(event) ? pointerPosition() : sf::Vector2f());
}

void Container::update() {
    if (sf::Mouse::isButtonPressed(sf::Mouse::Left))
        return;
    update(pointerPosition(), false);
}

void Container::handleEvent(const sf::Event& event, sf::Vector2f pointer) {
    for (Component* child : children)
        if (child->handleEvent(event))
            break;

    // Any button counts, and a child that consumed the event above still gets the press rules.
    if (event.type == sf::Event::MouseButtonPressed) {
        for (Component* child : children)
            if (child->getBounds().contains(pointer))
                child->setActive(true);
    } else if (event.type == sf::Event::MouseButtonReleased) {
        for (Component* child : children) {
            if (child->getBounds().contains(pointer) && child->isActive()) {
                child->trigger();
                break;
            }
            child->setActive(false);
        }
    }
}

void Container::update(sf::Vector2f pointer, bool leftButtonHeld) {
    if (leftButtonHeld)
        return;
    for (Component* child : children)
        child->setHovered(child->getBounds().contains(pointer));
}

void Container::draw(sf::RenderTarget& target, sf::RenderStates states) const {
    states.transform *= getTransform();
    for (const Component* child : children)
        target.draw(*child, states);
}

sf::Vector2f Container::pointerPosition() const {
    const sf::Vector2i position = sf::Mouse::getPosition(*window);
    return sf::Vector2f(static_cast<float>(position.x), static_cast<float>(position.y));
}

} // namespace GUI
