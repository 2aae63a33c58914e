#pragma once

#include <SFML/Graphics/Drawable.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Transformable.hpp>

namespace sf {
class Event;
}

namespace GUI {

// A widget of a page. A container decides when it is hovered, pressed (active) and triggered, with
// the mouse or the keyboard; the widget only decides how it looks and what its action does.
class Component : public sf::Drawable, public sf::Transformable {
public:
    Component() = default;
    ~Component() override;
    // Containers keep plain pointers to their components, so a component never moves.
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    virtual void setHovered(bool flag);
    virtual void setActive(bool flag);
    virtual bool isActive() const;
    virtual bool isTriggered() const;
    // Offered every window event before the container's own pointer handling; true consumes it.
    virtual bool handleEvent(const sf::Event& event);
    // The rectangle, in window coordinates, that the pointer is tested against.
    virtual sf::FloatRect getBounds() const = 0;
    // Whether the keyboard's highlight can rest on it and trigger it.
    virtual bool isSelectable() const;
    virtual void trigger() = 0;
    // How many window pixels a unit of the component's coordinates is drawn at, once the page's
    // scale has changed (a new window): its words are rasterised anew at that size, to stay sharp.
    virtual void setPixelsPerUnit(float pixels);

    bool isHovered() const { return hovered; }

protected:
    // Once set, the triggered flag stays set.
    void markTriggered() { triggered = true; }

private:
    bool hovered = false;
    bool active = false;
    bool triggered = false;
};

} // namespace GUI
