#pragma once

#include "core/State.hpp"
#include "gui/Container.hpp"
#include "gui/Label.hpp"
#include "screens/ScreenLayout.hpp"

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Rect.hpp>

#include <memory>
#include <string>
#include <vector>

namespace sf {
class Font;
class Texture;
} // namespace sf

namespace GUI {
class Button;
class Component;
class Picture;
} // namespace GUI

// Makes the menu's pages and widgets in the 1280 x 720 layout (x 640 is the middle of the screen),
// and keeps every widget alive until the menu goes: pages refer to their widgets without owning
// them. A page of its own is built by a class of its own with these, and MenuState opens it in a
// few lines.
class MenuWidgets {
public:
    enum class ButtonSize { Full, Small };
    // The main page's row of small buttons.
    static constexpr float BottomRow = 670.f;
    // The main page's label colours: normal, highlighted, pressed.
    static const std::vector<sf::Color> LabelColours;

    MenuWidgets(State::Context context, const ScreenLayout& layout);

    // The sounds of the pages: the highlight moving, a button pressed. Into the process-wide sound
    // player, which keeps them.
    static void loadSounds();

    // An empty page for the context's window, drawn through the layout and pointed at through it,
    // with the pages' sounds.
    GUI::Container page() const;
    // After the layout has changed (a new window): a page placed through it again, and every
    // widget's words rasterised at its new scale.
    void place(GUI::Container& page) const;
    void rescale();
    // A new label for a button made here, in the same face and size.
    void relabel(GUI::Button& button, const std::string& label) const;
    // A button with the menu's three pictures and a label, centred on the point. A small one is
    // the narrower button of the main page's bottom row. Labels are black until coloured.
    GUI::Button& button(const std::string& label, sf::Vector2f centre,
                        ButtonSize size = ButtonSize::Full);
    // Words in one of the menu's faces, sharp at the layout's scale.
    GUI::Label& label(const std::string& text, sf::Vector2f position, unsigned characterSize,
                      sf::Color colour, GUI::Label::Alignment alignment = GUI::Label::Centre,
                      Fonts::Fonts face = Fonts::MenuButton);
    // A part of a texture shown at size, centred on the point.
    GUI::Picture& picture(const sf::Texture& texture, const sf::IntRect& part, sf::Vector2f size,
                          sf::Vector2f centre);
    // Keeps any other widget as long as the menu.
    template <typename Widget> Widget& keep(std::unique_ptr<Widget> widget) {
        Widget& kept = *widget;
        widgets.push_back(std::move(widget));
        return kept;
    }

    const ScreenLayout& getLayout() const { return layout; }
    const sf::Font& buttonFont() const;
    State::Context getContext() const { return context; }

private:
    State::Context context;
    const ScreenLayout& layout;
    std::vector<std::unique_ptr<GUI::Component>> widgets;
};
