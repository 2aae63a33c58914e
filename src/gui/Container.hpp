#pragma once

#include <SFML/Graphics/Drawable.hpp>
#include <SFML/Graphics/Transformable.hpp>
#include <SFML/System/Vector2.hpp>
#include <SFML/Window/Keyboard.hpp>

#include <functional>
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
// The keyboard moves a highlight over the components that can be selected: Up and Down go to the
// previous and next one (around the ends), Return and Space trigger it, and it shows the hovered
// look while the keys lead. When the pointer moves, it leads again, and the highlight goes to the
// component the pointer hovers, so the keys go on from there.
//
// The container's own transform places the page in the window: the page is drawn through it and
// the pointer is mapped back through it, so components are laid out in the page's coordinates.
//
// A container refers to its components without owning them; whoever creates them keeps them alive
// as long as any container (or copy of one) refers to them. Copies share the same components.
class Container : public sf::Drawable, public sf::Transformable {
public:
    // Told as it happens, so the page's owner can answer the player (with a sound): the highlight
    // moved to another component, by the keys or the pointer; a component that can be highlighted
    // was triggered.
    struct Feedback {
        std::function<void()> moved;
        std::function<void()> triggered;
    };

    // The pointer is read relative to this window, not taken from the events.
    explicit Container(const sf::Window& window);
    ~Container() override;

    void pack(Component* component);
    void setFeedback(Feedback newFeedback);
    // The keys lead, with the first selectable component highlighted; for a page that opens.
    void selectFirst();
    // The keys lead, with this component highlighted if it is one of the page's and selectable.
    void select(const Component* component);

    // Reads the pointer from the window when the event is a mouse button event.
    void handleEvent(const sf::Event& event);
    // Hover pass, once per frame, with the pointer and the left button as they are now.
    void update();

    // The same two passes with the pointer already known, in the page's coordinates: what the ones
    // above do once they have read the mouse. Tests use them to drive the rules without moving the
    // real pointer.
    void handleEvent(const sf::Event& event, sf::Vector2f pointer);
    void update(sf::Vector2f pointer, bool leftButtonHeld);

    const std::vector<Component*>& getChildren() const { return children; }

private:
    void draw(sf::RenderTarget& target, sf::RenderStates states) const override;
    sf::Vector2f pointerPosition() const;
    void handleKey(sf::Keyboard::Key key);

    void highlight(int index);
    void trigger(Component& child);

    std::vector<Component*> children;
    const sf::Window* window;
    Feedback feedback;
    // An index into children; negative when nothing is highlighted.
    int selected = -1;
    bool keysLead = false;
};

} // namespace GUI
