#include "screens/MenuWidgets.hpp"

#include "core/ResourceHolder.hpp"
#include "core/SoundPlayer.hpp"
#include "gui/Button.hpp"
#include "gui/Picture.hpp"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>

namespace {

constexpr unsigned int ButtonTextSize = 30;
// The bottom row's buttons are the menu's button at this share of its width.
constexpr float SmallButtonWidth = 0.6f;
const std::pair<SFX::SFX, const char*> Sounds[] = {{SFX::MenuMove, "Audio/MenuMove.ogg"},
                                                   {SFX::ButtonPress, "Audio/ButtonPress.ogg"}};

} // namespace

const std::vector<sf::Color> MenuWidgets::LabelColours{
    sf::Color(102, 0, 0, 255), sf::Color(0, 0, 0, 255), sf::Color(255, 255, 0, 255)};

MenuWidgets::MenuWidgets(State::Context context, const ScreenLayout& layout)
    : context(context), layout(layout) {}

void MenuWidgets::loadSounds() {
    for (const auto& [effect, file] : Sounds)
        soundPlayer().load(effect, file);
}

GUI::Container MenuWidgets::page() const {
    GUI::Container page(*context.window);
    place(page);
    page.setFeedback(
        {[] { soundPlayer().play(SFX::MenuMove); }, [] { soundPlayer().play(SFX::ButtonPress); }});
    return page;
}

void MenuWidgets::place(GUI::Container& page) const {
    const sf::FloatRect area = layout.getArea();
    page.setPosition(area.left, area.top);
    page.setScale(layout.getScale(), layout.getScale());
}

void MenuWidgets::rescale() {
    for (const auto& widget : widgets)
        widget->setPixelsPerUnit(layout.getScale());
}

void MenuWidgets::relabel(GUI::Button& button, const std::string& label) const {
    button.setText(label, buttonFont(), ButtonTextSize, layout.getScale());
}

const sf::Font& MenuWidgets::buttonFont() const {
    return context.fonts->get(Fonts::MenuButton);
}

GUI::Button& MenuWidgets::button(const std::string& label, sf::Vector2f centre, ButtonSize size) {
    auto button = std::make_unique<GUI::Button>(GUI::Button::ShapeAndText);
    button->setPosition(centre);
    // The pressed look is the "selected" picture, the hovered one the "active" picture.
    button->setTextures({&context.textures->get(Textures::NormalButton),
                         &context.textures->get(Textures::ActiveButton),
                         &context.textures->get(Textures::SelectedButton)});
    if (size == ButtonSize::Small) {
        const sf::Vector2f full = button->getShape().getSize();
        button->setPictureSize(sf::Vector2f(full.x * SmallButtonWidth, full.y));
    }
    button->setText(label, buttonFont(), ButtonTextSize, layout.getScale());
    return keep(std::move(button));
}

GUI::Label& MenuWidgets::label(const std::string& text, sf::Vector2f position,
                               unsigned characterSize, sf::Color colour,
                               GUI::Label::Alignment alignment, Fonts::Fonts face) {
    auto label = std::make_unique<GUI::Label>(text, context.fonts->get(face), characterSize,
                                              layout.getScale());
    label->setColor(colour);
    label->setAlignment(alignment);
    label->setPosition(position);
    return keep(std::move(label));
}

GUI::Picture& MenuWidgets::picture(const sf::Texture& texture, const sf::IntRect& part,
                                   sf::Vector2f size, sf::Vector2f centre) {
    auto picture = std::make_unique<GUI::Picture>(texture, part, size);
    picture->setPosition(centre);
    return keep(std::move(picture));
}
