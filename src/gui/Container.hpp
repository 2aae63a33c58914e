#pragma once

#include <SFML/Graphics/Drawable.hpp>
#include <SFML/Graphics/Transformable.hpp>
#include <SFML/System/Vector2.hpp>

#include <vector>

namespace sf {
class Event;
class Window;
} // namespace sf

namespace GUI {

class Component;

// One page of widgets and the pointer rules they share: a press activates every component under
// the pointer, a release triggers the first active one under it and deactivates the others it
// passes, and hovering follows the pointer except while the left button is held.
//
// A container refers to its components without owning them; whoever creates them keeps them alive
// as long as any container (or copy of one) refers to them. Copies share the same components.
class Container : public sf::Drawable, public sf::Transformable {
public:
    // The pointer is read relative to this window, not taken from the events.
    explicit Container(const sf::Window& window);
    ~Container() override;

    void pack(Component* component);

    // Reads the pointer from the window when the event is a mouse button event.
    void handleEvent(const sf::Event& event);
    // Hover pass, once per frame, with the pointer and the left button as they are now.
    void update();

    // The same two passes with the pointer already known: what the ones above do once they have
    // read the mouse. Tests use them to drive the rules without moving the real pointer.
    void handleEvent(const sf::Event& event, sf::Vector2f pointer);
    void update(sf::Vector2f pointer, bool leftButtonHeld);

    const std::vector<Component*>& getChildren() const { return children; }

private:
    void draw(sf::RenderTarget& target, sf::RenderStates states) const override;
    sf::Vector2f pointerPosition() const;

    std::vector<Component*> children;
    const sf::Window* window;
};

} // namespace GUI
