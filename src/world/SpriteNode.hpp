#pragma once

#include "world/SceneNode.hpp"

#include <SFML/Graphics/Sprite.hpp>

class CopyingProgram;

// The level's background picture, scaled to windowSize: it fills the window through the view the
// world draws the background and the HUD with.
class SpriteNode : public SceneNode {
public:
    SpriteNode();
    ~SpriteNode() override;

    // An opaque picture replaces whatever was under it, so it is drawn without blending, and
    // through `copying` when given.
    void setOpaque(bool value, const CopyingProgram* copying = nullptr) {
        opaque = value;
        copyingProgram = copying;
    }
    // Draws the picture only down to `bottom` (in window pixels, at whole rows of the picture):
    // an opaque picture drawn later covers the rest.
    void showDownTo(float bottom);

private:
    void drawCurrent(sf::RenderTarget& target, sf::RenderStates states) const override;

    sf::Sprite sprite;
    bool opaque = false;
    const CopyingProgram* copyingProgram = nullptr;
};
