#include "gui/TextBox.hpp"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Window/Event.hpp>

#include <algorithm>
#include <cmath>

namespace GUI {

namespace {

constexpr sf::Uint32 Backspace = 8;
constexpr sf::Uint32 Enter = 13;
const sf::Color CursorColour(27, 31, 42);
constexpr float CursorWidth = 2.f;
// Between the box's edge and the cursor while the prompt shows, and above and below the cursor.
constexpr float CursorMargin = 4.f;

std::string toUtf8(const sf::String& string) {
    const auto bytes = string.toUtf8();
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

TextBox::TextBox(sf::Vector2f position, sf::Vector2f size, std::shared_ptr<std::string> result)
    : text(), box(size), result(std::move(result)) {
    setSize(size);
    setPosition(position);
}

TextBox::~TextBox() = default;

void TextBox::setText(const std::string& content) {
    text.setString(sf::String::fromUtf8(content.begin(), content.end()));
    showsPrompt = true;
}

void TextBox::setFont(const sf::Font& font) {
    text.setFont(font);
}

void TextBox::setTextColor(sf::Color colour) {
    text.setFillColor(colour);
}

void TextBox::setBoxColors(sf::Color fill, sf::Color outline) {
    box.setOutlineThickness(2.f);
    box.setFillColor(fill);
    box.setOutlineColor(outline);
}

void TextBox::setTypingWithoutPress(bool flag) {
    typingWithoutPress = flag;
}

void TextBox::setMaxLength(int count) {
    maxLength = count;
}

void TextBox::setCallback(Callback newCallback) {
    callback = std::move(newCallback);
}

void TextBox::setPosition(sf::Vector2f position) {
    box.setPosition(position);
    text.setPosition(position);
}

void TextBox::setSize(sf::Vector2f size) {
    box.setSize(size);
    const auto layoutSize = static_cast<unsigned int>(size.y - 6.f);
    text.setCharacterSize(
        std::max(1u, static_cast<unsigned int>(std::lround(layoutSize * pixelsPerUnit))));
    text.setScale(1.f / pixelsPerUnit, 1.f / pixelsPerUnit);
}

void TextBox::setPixelsPerUnit(float pixels) {
    pixelsPerUnit = pixels;
    setSize(box.getSize());
}

bool TextBox::showsCursor() const {
    return isActive() || typingWithoutPress;
}

sf::FloatRect TextBox::getCursor() const {
    const sf::FloatRect area = box.getGlobalBounds();
    const float x = showsPrompt ? box.getPosition().x + CursorMargin
                                : text.findCharacterPos(text.getString().getSize()).x + 1.f;
    const float top = box.getPosition().y + CursorMargin;
    return sf::FloatRect(std::min(x, area.left + area.width - CursorWidth - CursorMargin), top,
                         CursorWidth, box.getSize().y - 2.f * CursorMargin);
}

void TextBox::setActive(bool flag) {
    if (flag && !isActive()) {
        Component::setActive(true);
        text.setString(sf::String());
        showsPrompt = false;
    }
    Component::setActive(flag);
}

bool TextBox::handleEvent(const sf::Event& event) {
    if (event.type != sf::Event::TextEntered)
        return false;
    const sf::Uint32 c = event.text.unicode;
    if (!isActive()) {
        if (!typingWithoutPress)
            return false;
        if (showsPrompt) {
            // Only a printable character starts the typing: Enter on the prompt would enter an
            // empty name.
            if (c < 32 || c == 127)
                return false;
            text.setString(sf::String());
            showsPrompt = false;
        }
    }
    sf::String shown = text.getString();
    if (c == Backspace) {
        // Works on whole characters, so a letter that takes several bytes in UTF-8 goes at once.
        if (!shown.isEmpty())
            shown.erase(shown.getSize() - 1);
        text.setString(shown);
        return false;
    }
    if (c == Enter) {
        if (result)
            *result = toUtf8(shown);
        if (callback)
            callback();
        return true;
    }
    // Every other character is taken as typed, control characters included.
    if (static_cast<long>(shown.getSize()) < maxLength) {
        shown += c;
        text.setString(shown);
    }
    return false;
}

sf::FloatRect TextBox::getBounds() const {
    return box.getGlobalBounds();
}

void TextBox::trigger() {}

std::string TextBox::getString() const {
    return toUtf8(text.getString());
}

void TextBox::draw(sf::RenderTarget& target, sf::RenderStates states) const {
    states.transform *= getTransform();
    target.draw(box, states);
    target.draw(text, states);
    if (showsCursor()) {
        const sf::FloatRect place = getCursor();
        sf::RectangleShape cursor(sf::Vector2f(place.width, place.height));
        cursor.setPosition(place.left, place.top);
        cursor.setFillColor(CursorColour);
        target.draw(cursor, states);
    }
}

} // namespace GUI
