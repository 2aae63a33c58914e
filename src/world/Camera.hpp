#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/View.hpp>

namespace sf {
class Transformable;
}

// The view through which the map and the actors are drawn. It is 0.8 window heights tall and is
// stretched over a viewport that starts 0.2 heights above the window, so it ends exactly at the
// top of the HUD banner. It starts at the bottom of the level and only ever moves up with the tank.
class Camera {
public:
    // How much taller than wide the world shows: a view 0.8 window heights tall spread over the
    // whole height. Pictures drawn into the world are made for it (a round wheel is drawn 0.8 as
    // tall as wide); shown anywhere else, they are stretched by it to look the same.
    static constexpr float VerticalStretch = 1.25f;

    void setViewSize(sf::Vector2f size);
    // Takes the current world size; centres on the target, or on the bottom of the level.
    void reset(const sf::Transformable* target);
    // Follows the target's height, never below the start; x never changes. No target: no move.
    void follow(const sf::Transformable* target);
    sf::Vector2f getCenter() const;
    // The part of the world the window shows: the view without its top fifth, which lies above
    // the window.
    sf::FloatRect getVisibleArea() const;
    const sf::View& getView() const { return view; }
    sf::Vector2f getStartCenter() const { return startCenter; }

private:
    sf::View view;
    sf::Vector2f viewSize;
    sf::Vector2f worldSize;
    sf::Vector2f startCenter;
};
