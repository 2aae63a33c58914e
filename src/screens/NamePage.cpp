#include "screens/NamePage.hpp"

#include "core/ResourceHolder.hpp"
#include "gui/Label.hpp"
#include "gui/Panel.hpp"
#include "gui/TextBox.hpp"
#include "screens/MenuWidgets.hpp"
#include "screens/UserFiles.hpp"

#include <SFML/Graphics/Font.hpp>

namespace {

// The box, centred on the screen.
const sf::Vector2f BoxSize(500.f, 32.f);
const sf::Vector2f BoxCorner((ScreenLayout::Width - BoxSize.x) / 2.f, 200.f);
// The reason line goes below the welcome line, where the main page's first button would be, on
// a plate of its own so it reads over the backdrop.
const sf::Vector2f ReasonCentre(ScreenLayout::Width / 2.f, 350.f);
const unsigned ReasonSize = 24;
const sf::Vector2f PlatePadding(18.f, 10.f);

} // namespace

NamePage::NamePage(MenuWidgets& widgets, std::function<void(const std::string&)> enter)
    : typed(std::make_shared<std::string>()), page(widgets.page()) {
    auto box = std::make_unique<GUI::TextBox>(BoxCorner, BoxSize, typed);
    box->setPixelsPerUnit(widgets.getLayout().getScale());
    box->setText("Enter Your Name");
    box->setFont(widgets.buttonFont());
    box->setBoxColors(sf::Color::White, sf::Color::Black);
    box->setTextColor(sf::Color::Red);
    box->setMaxLength(UserFiles::MaxNameLength);
    box->setCallback([typed = typed, enter = std::move(enter)] { enter(*typed); });
    box->setTypingWithoutPress(true);
    page.pack(&widgets.keep(std::move(box)));

    plate = &widgets.keep(std::make_unique<GUI::Panel>(sf::Vector2f(), sf::Color(16, 22, 38, 235),
                                                       sf::Color(255, 120, 110), 2.f));
    page.pack(plate);
    line = &widgets.label("", ReasonCentre, ReasonSize, sf::Color(255, 160, 150));
    page.pack(line);
    setReason("");
}

void NamePage::setReason(const std::string& text) {
    reason = text;
    line->setText(text);
    if (text.empty()) {
        plate->setSize(sf::Vector2f());
        return;
    }
    const sf::FloatRect words = line->getTextBounds();
    plate->setSize(sf::Vector2f(words.width, words.height) + 2.f * PlatePadding);
    plate->setPosition(sf::Vector2f(words.left, words.top) - PlatePadding);
}
