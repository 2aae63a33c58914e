#include "gui/Button.hpp"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <algorithm>
#include <cmath>

namespace GUI {

namespace {

// Spelled out rather than taken from the library's named colours, which are other statics.
const sf::Color Black(0, 0, 0, 255);
const sf::Color Grey(128, 128, 128, 255);
const std::array<sf::Color, 4> StateColours{Black, sf::Color(0, 255, 0), sf::Color(255, 0, 0),
                                            Grey};

} // namespace

Button::Button(Kind kind)
    : text(), fillFollowsState(kind == TextOnly), kind(kind),
      shape(std::make_unique<sf::RectangleShape>(sf::Vector2f(40.f, 40.f))), callback([] {}) {
    for (auto& table : colours)
        table.fill(Black);
    colours[Outline] = StateColours;
    if (kind == TextOnly)
        colours[Fill] = StateColours;
    shape->setOrigin(20.f, 20.f);
    shape->setOutlineThickness(0.f);
    setPosition(20.f, 20.f);
}

Button::~Button() = default;

void Button::setCallback(Callback newCallback) {
    callback = std::move(newCallback);
}

void Button::setText(const std::string& label, const sf::Font& font, unsigned int characterSize,
                     float pixelsPerUnit) {
    text.setString(sf::String::fromUtf8(label.begin(), label.end()));
    labelSize = characterSize;
    text.setScale(1.f, 1.f);
    text.setFont(font);
    text.setCharacterSize(
        std::max(1u, static_cast<unsigned>(std::lround(characterSize * pixelsPerUnit))));
    const sf::FloatRect bounds = text.getLocalBounds();
    const float back = 1.f / pixelsPerUnit;
    text.setScale(back, back);
    text.setOrigin(bounds.width / 2.f, bounds.height / 2.f);
    text.setPosition(-bounds.left * back, -bounds.top * back);
}

void Button::setPixelsPerUnit(float pixels) {
    if (const sf::Font* font = text.getFont()) {
        const auto utf8 = text.getString().toUtf8();
        setText(std::string(utf8.begin(), utf8.end()), *font, labelSize, pixels);
    }
}

void Button::setTextures(const std::vector<const sf::Texture*>& list) {
    const std::size_t count = std::min(list.size(), textures.size());
    std::copy_n(list.begin(), count, textures.begin());
    if (list.size() != textures.size())
        textures[3] = textures[0];
    if (drawsShape())
        shape->setTexture(textures[0]);
    // Without a texture the rectangle is empty, so a label-only button is hit-tested on its text.
    const sf::IntRect rect = shape->getTextureRect();
    const sf::Vector2f size(static_cast<float>(rect.width), static_cast<float>(rect.height));
    shape->setSize(size);
    shape->setOrigin(size.x / 2.f, size.y / 2.f);
}

void Button::setColors(ColourTable table, const std::vector<sf::Color>& list) {
    auto& entries = colours[table];
    const std::size_t count = std::min(list.size(), entries.size());
    std::copy_n(list.begin(), count, entries.begin());
    if (list.size() != entries.size())
        entries[3] = Grey;
}

void Button::setSize(int width, int height) {
    shape->setSize(sf::Vector2f(static_cast<float>(width), static_cast<float>(height)));
    const sf::FloatRect bounds = shape->getLocalBounds();
    shape->setOrigin(bounds.width / 2.f, bounds.height / 2.f);
    shape->setPosition(bounds.width / 2.f, bounds.height / 2.f);
}

void Button::setPictureSize(sf::Vector2f size) {
    shape->setSize(size);
    shape->setOrigin(size.x / 2.f, size.y / 2.f);
    shape->setPosition(0.f, 0.f);
}

void Button::setOutlineThickness(float thickness) {
    shape->setOutlineThickness(thickness);
}

void Button::setHovered(bool flag) {
    Component::setHovered(flag);
    applyLook(flag ? Hovered : Normal);
}

void Button::setActive(bool flag) {
    Component::setActive(flag);
    applyLook(flag ? Pressed : Normal);
}

sf::FloatRect Button::getBounds() const {
    sf::FloatRect bounds = shape->getGlobalBounds();
    if (bounds.width == 0.f && bounds.height == 0.f)
        bounds = text.getGlobalBounds();
    return getTransform().transformRect(bounds);
}

bool Button::isSelectable() const {
    return true;
}

void Button::trigger() {
    if (callback)
        callback();
    markTriggered();
}

void Button::draw(sf::RenderTarget& target, sf::RenderStates states) const {
    states.transform *= getTransform();
    if (drawsShape())
        target.draw(*shape, states);
    if (drawsText())
        target.draw(text, states);
}

void Button::applyLook(int look) {
    shape->setOutlineColor(colours[Outline][look]);
    if (drawsShape())
        shape->setTexture(textures[look]);
    if (drawsText())
        text.setFillColor(colours[Label][look]);
    if (fillFollowsState)
        shape->setFillColor(colours[Fill][look]);
}

} // namespace GUI
