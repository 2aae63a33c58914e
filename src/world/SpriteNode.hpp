#pragma once

#include "world/SceneNode.hpp"

#include <SFML/Graphics/Sprite.hpp>

// The level's background picture, scaled to windowSize: it fills the window through the view the
// world draws the background and the HUD with.
class SpriteNode : public SceneNode {
public:
    SpriteNode();
    ~SpriteNode() override;

private:
    void drawCurrent(sf::RenderTarget& target, sf::RenderStates states) const override;

    sf::Sprite sprite;
};
