#pragma once

#include "gui/Component.hpp"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Text.hpp>

#include <functional>
#include <memory>
#include <string>

namespace sf {
class Font;
}

namespace GUI {

// A one-line text field. Pressing it clears it and lets it take typed characters (up to its
// limit), Backspace and Enter; Enter copies the text, as UTF-8, into the string shared with its
// creator and runs the callback. Releasing the mouse elsewhere stops the typing; the text stays.
// A box that takes typing without a press (the only field of its page) takes it all the same: the
// first letter typed replaces the prompt, as a press would have cleared it. While it takes typing,
// a text cursor shows where the next letter goes (before the prompt, which it replaces).
class TextBox : public Component {
public:
    using Callback = std::function<void()>;

    // The text's character size is the box height less 6; the text starts at the box's corner.
    TextBox(sf::Vector2f position, sf::Vector2f size, std::shared_ptr<std::string> result);
    ~TextBox() override;

    // UTF-8; used for the placeholder prompt, which the first press clears.
    void setText(const std::string& content);
    void setFont(const sf::Font& font);
    void setTextColor(sf::Color colour);
    void setBoxColors(sf::Color fill, sf::Color outline);
    void setMaxLength(int count);
    void setCallback(Callback newCallback);
    void setTypingWithoutPress(bool flag);
    // Moves the box and the text; the component's own transform is not used for either.
    void setPosition(sf::Vector2f position);
    void setSize(sf::Vector2f size);
    // How many window pixels a unit of the box's coordinates is drawn at: the text is rasterised at
    // that size, so it stays sharp when the page is drawn scaled.
    void setPixelsPerUnit(float pixels) override;

    void setActive(bool flag) override;
    bool handleEvent(const sf::Event& event) override;
    sf::FloatRect getBounds() const override;
    void trigger() override;

    // What the box shows, as UTF-8.
    std::string getString() const;
    const sf::Text& getText() const { return text; }
    const sf::RectangleShape& getBox() const { return box; }
    // Whether the cursor shows, and where: its rectangle in the box's coordinates.
    bool showsCursor() const;
    sf::FloatRect getCursor() const;

private:
    void draw(sf::RenderTarget& target, sf::RenderStates states) const override;

    sf::Text text;
    sf::RectangleShape box;
    float pixelsPerUnit = 1.f;
    int maxLength = 100;
    Callback callback;
    std::shared_ptr<std::string> result;
    bool typingWithoutPress = false;
    // The prompt set with setText is shown until a press or, without one, the first letter.
    bool showsPrompt = false;
};

} // namespace GUI
