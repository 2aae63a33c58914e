#include "screens/UserPage.hpp"

#include "core/Translation.hpp"
#include "gui/Button.hpp"
#include "screens/MenuWidgets.hpp"

namespace {

const float Middle = ScreenLayout::Width / 2.f;
const float NewPlayerRow = 350.f;
const float FirstNameRow = 400.f;
const float RowStep = 50.f;

} // namespace

UserPage::UserPage(MenuWidgets& widgets, const std::vector<std::string>& names, Actions actions)
    : page(widgets.page()) {
    GUI::Button& newPlayer = widgets.button(tr("New player"), {Middle, NewPlayerRow});
    newPlayer.setCallback(std::move(actions.newPlayer));
    page.pack(&newPlayer);

    GUI::Button& back = widgets.button(tr("Back"), {Middle, 0.f});
    back.setCallback(std::move(actions.back));
    // "Back" goes one row below the last name and must stay on the screen, or the page could not
    // be left: only the newest names that fit are shown.
    const float lowest = ScreenLayout::Height - back.getBounds().height / 2.f;
    GUI::Button* newest = nullptr;
    float y = FirstNameRow;
    for (const std::string& name : names) {
        if (name.empty())
            continue;
        if (y + 2.f * RowStep > lowest)
            break;
        GUI::Button& player = widgets.button(name, {Middle, y});
        player.setCallback([choose = actions.choose, name] { choose(name); });
        page.pack(&player);
        if (!newest)
            newest = &player;
        y += RowStep;
    }
    back.setPosition(Middle, y + RowStep);
    page.pack(&back);
    page.select(newest ? newest : &newPlayer);
}
