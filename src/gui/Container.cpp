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

void Container::setFeedback(Feedback newFeedback) {
    feedback = std::move(newFeedback);
}

void Container::highlight(int index) {
    if (index != selected && feedback.moved)
        feedback.moved();
    selected = index;
}

void Container::trigger(Component& child) {
    if (feedback.triggered && child.isSelectable())
        feedback.triggered();
    child.trigger();
}

void Container::selectFirst() {
    keysLead = true;
    selected = -1;
    for (std::size_t i = 0; i < children.size() && selected < 0; ++i)
        if (children[i]->isSelectable())
            selected = static_cast<int>(i);
}

void Container::select(const Component* component) {
    selectFirst();
    for (std::size_t i = 0; i < children.size(); ++i)
        if (children[i] == component && component->isSelectable())
            selected = static_cast<int>(i);
}

void Container::handleKey(sf::Keyboard::Key key) {
    const int count = static_cast<int>(children.size());
    if (key == sf::Keyboard::Up || key == sf::Keyboard::Down) {
        const int step = key == sf::Keyboard::Down ? 1 : count - 1;
        // From nothing, Down starts at the first and Up at the last.
        int at = selected >= 0 ? selected : (key == sf::Keyboard::Down ? count - 1 : 0);
        for (int tried = 0; tried < count; ++tried) {
            at = (at + step) % count;
            if (children[static_cast<std::size_t>(at)]->isSelectable()) {
                highlight(at);
                keysLead = true;
                // At once, so a key that acts on the highlighted component (Left and Right on a
                // volume) finds it where it is now, not where the last frame showed it.
                for (std::size_t i = 0; i < children.size(); ++i)
                    children[i]->setHovered(static_cast<int>(i) == selected);
                return;
            }
        }
    } else if ((key == sf::Keyboard::Return || key == sf::Keyboard::Space) && selected >= 0) {
        keysLead = true;
        trigger(*children[static_cast<std::size_t>(selected)]);
    }
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
    bool consumed = false;
    for (Component* child : children)
        if (child->handleEvent(event)) {
            consumed = true;
            break;
        }
    if (event.type == sf::Event::KeyPressed && !consumed)
        handleKey(event.key.code);
    else if (event.type == sf::Event::MouseMoved)
        keysLead = false;

    // Any button counts, and a child that consumed the event above still gets the press rules.
    if (event.type == sf::Event::MouseButtonPressed) {
        for (Component* child : children)
            if (child->getBounds().contains(pointer))
                child->setActive(true);
    } else if (event.type == sf::Event::MouseButtonReleased) {
        for (Component* child : children) {
            if (child->getBounds().contains(pointer) && child->isActive()) {
                trigger(*child);
                break;
            }
            child->setActive(false);
        }
    }
}

void Container::update(sf::Vector2f pointer, bool leftButtonHeld) {
    if (leftButtonHeld)
        return;
    for (std::size_t i = 0; i < children.size(); ++i) {
        Component* child = children[i];
        if (keysLead) {
            child->setHovered(static_cast<int>(i) == selected);
            continue;
        }
        const bool hovered = child->getBounds().contains(pointer);
        child->setHovered(hovered);
        if (hovered && child->isSelectable())
            highlight(static_cast<int>(i));
    }
}

void Container::draw(sf::RenderTarget& target, sf::RenderStates states) const {
    states.transform *= getTransform();
    for (const Component* child : children)
        target.draw(*child, states);
}

sf::Vector2f Container::pointerPosition() const {
    const sf::Vector2i position = sf::Mouse::getPosition(*window);
    return getInverseTransform().transformPoint(
        sf::Vector2f(static_cast<float>(position.x), static_cast<float>(position.y)));
}

} // namespace GUI
