#pragma once

#include "gui/Component.hpp"

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Text.hpp>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace sf {
class Font;
class Texture;
} // namespace sf

namespace GUI {

// A clickable picture and/or label with three looks: normal, hovered and active (pressed). Its
// callback runs when a container triggers it. Every per-look table has a fourth entry that is
// stored but never shown.
class Button : public Component {
public:
    enum Kind : std::int32_t { ShapeOnly = 0, TextOnly = 1, ShapeAndText = 2 };
    enum Look : int { Normal = 0, Hovered = 1, Pressed = 2 };
    enum ColourTable : int { Fill = 0, Outline = 1, Label = 2 };
    using Callback = std::function<void()>;

    explicit Button(Kind kind);
    ~Button() override;

    void setCallback(Callback newCallback);
    // The label is UTF-8. It is centred on the button's position. pixelsPerUnit is how many window
    // pixels a unit of the button's coordinates is drawn at: the glyphs are rasterised at that
    // size, so the label stays sharp when the page is drawn scaled.
    void setText(const std::string& label, const sf::Font& font, unsigned int characterSize,
                 float pixelsPerUnit = 1.f);
    // Up to four textures, one per look; with any other count than four the fourth repeats the
    // first. The picture takes the size of the first texture, centred on the button's position.
    void setTextures(const std::vector<const sf::Texture*>& list);
    // Up to four colours, one per look; with any other count than four the fourth is grey. They
    // show from the next change of look.
    void setColors(ColourTable table, const std::vector<sf::Color>& list);
    // Puts the picture's top-left corner at the button's position.
    void setSize(int width, int height);
    // Draws the picture, stretched, at this size, still centred on the button's position.
    void setPictureSize(sf::Vector2f size);
    void setOutlineThickness(float thickness);

    void setPixelsPerUnit(float pixels) override;
    void setHovered(bool flag) override;
    void setActive(bool flag) override;
    sf::FloatRect getBounds() const override;
    bool isSelectable() const override;
    void trigger() override;

    const sf::RectangleShape& getShape() const { return *shape; }
    const sf::Text& getText() const { return text; }
    const sf::Texture* getTexture(int look) const { return textures[look]; }
    sf::Color getColor(ColourTable table, int look) const { return colours[table][look]; }

private:
    void draw(sf::RenderTarget& target, sf::RenderStates states) const override;
    void applyLook(int look);
    bool drawsShape() const { return kind == ShapeOnly || kind == ShapeAndText; }
    bool drawsText() const { return kind == TextOnly || kind == ShapeAndText; }

    sf::Text text;
    unsigned labelSize = 30; // in the button's own units
    bool fillFollowsState;
    Kind kind;
    std::unique_ptr<sf::RectangleShape> shape;
    Callback callback;
    std::array<const sf::Texture*, 4> textures{};
    std::array<std::array<sf::Color, 4>, 3> colours;
};

} // namespace GUI
