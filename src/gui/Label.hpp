#pragma once

#include "gui/Decoration.hpp"

#include <SFML/Graphics/Text.hpp>

#include <string>

namespace sf {
class Font;
}

namespace GUI {

// Words on a page, in one line.
class Label : public Decoration {
public:
    enum Alignment { Left, Centre };

    // pixelsPerUnit as for a button's label: the glyphs are rasterised at the size they show.
    Label(const std::string& content, const sf::Font& font, unsigned characterSize,
          float pixelsPerUnit = 1.f);

    // UTF-8. The text keeps its alignment around the label's position.
    void setText(const std::string& content);
    void setAlignment(Alignment alignment);
    void setColor(sf::Color colour);

    void setPixelsPerUnit(float pixels) override;

    // Where the words are drawn, in the page's coordinates.
    sf::FloatRect getTextBounds() const;
    const sf::Text& getText() const { return text; }

private:
    void draw(sf::RenderTarget& target, sf::RenderStates states) const override;
    void align();

    sf::Text text;
    unsigned size; // in the label's own units
    Alignment alignment = Left;
};

} // namespace GUI
