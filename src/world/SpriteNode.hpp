#pragma once

#include "world/SceneNode.hpp"

#include <SFML/Graphics/Sprite.hpp>

// The level's background picture, scaled to fill the window when drawn with the default view.
class SpriteNode : public SceneNode {
public:
    SpriteNode();
    ~SpriteNode() override;

private:
    void drawCurrent(sf::RenderTarget& target, sf::RenderStates states) const override;

    sf::Sprite sprite;
};
