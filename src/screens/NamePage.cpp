#include "screens/NamePage.hpp"

#include "core/ResourceHolder.hpp"
#include "core/Translation.hpp"
#include "gui/TextBox.hpp"
#include "screens/MenuWidgets.hpp"
#include "screens/UserFiles.hpp"

#include <SFML/Graphics/Font.hpp>

namespace {

// The box, centred on the screen.
const sf::Vector2f BoxSize(500.f, 32.f);
const sf::Vector2f BoxCorner((ScreenLayout::Width - BoxSize.x) / 2.f, 200.f);
} // namespace

NamePage::NamePage(MenuWidgets& widgets, std::function<void(const std::string&)> enter)
    : typed(std::make_shared<std::string>()), page(widgets.page()) {
    auto box = std::make_unique<GUI::TextBox>(BoxCorner, BoxSize, typed);
    box->setPixelsPerUnit(widgets.getLayout().getScale());
    box->setText(tr("Enter Your Name"));
    box->setFont(widgets.buttonFont());
    box->setBoxColors(sf::Color::White, sf::Color::Black);
    box->setTextColor(sf::Color::Red);
    box->setMaxLength(UserFiles::MaxNameLength);
    box->setCallback([typed = typed, enter = std::move(enter)] { enter(*typed); });
    box->setTypingWithoutPress(true);
    page.pack(&widgets.keep(std::move(box)));
}
