#include "screens/LevelsPage.hpp"

#include "core/Translation.hpp"
#include "gui/Button.hpp"
#include "hud/PlayOverlay.hpp"
#include "screens/MenuWidgets.hpp"

#include <algorithm>

namespace {

// In the 1280 x 720 layout, below the title and the welcome line.
const float FirstRow = 362.f;
const float RowPitch = 40.f;
const float BackRow = 692.f;
const float LevelColumn = 400.f, TimeColumn = 640.f, WatchColumn = 880.f;
// The row's buttons: narrower and lower than the menu's, so eight rows fit.
const sf::Vector2f RowButton(184.f, 36.f);
const unsigned TimeTextSize = 26;
const sf::Color TimeColour(255, 255, 255, 255);

std::string lost(int tanks) {
    return trPlural("%d tank lost", "%d tanks lost", tanks);
}

} // namespace

LevelsPage::LevelsPage(MenuWidgets& widgets, const std::optional<PlayerRuns>& runs, int reached,
                       const Actions& actions)
    : page(widgets.page()) {
    const auto rowButton = [&](const std::string& label, float x, float y) -> GUI::Button& {
        GUI::Button& button = widgets.button(label, {x, y}, MenuWidgets::ButtonSize::Small);
        button.setPictureSize(RowButton);
        button.setColors(GUI::Button::Label, MenuWidgets::LabelColours);
        page.pack(&button);
        return button;
    };
    const int last = std::max(1, reached);
    const int first = std::max(1, last - MaxRows + 1);
    for (int level = first; level <= last; ++level) {
        const float y = FirstRow + RowPitch * static_cast<float>(level - first);
        rowButton(tr("Level %d", {std::to_string(level)}), LevelColumn, y)
            .setCallback([play = actions.play, level] { play(level); });
        const std::optional<Recording> best = runs ? runs->best(level) : std::nullopt;
        const std::string time = best ? PlayOverlay::clock(best->levels[0].time()) + "   " +
                                            lost(best->levels[0].tanksLost)
                                      : tr("no time yet");
        page.pack(&widgets.label(time, {TimeColumn, y}, TimeTextSize, TimeColour));
        if (best)
            rowButton(tr("Watch"), WatchColumn, y).setCallback([watch = actions.watch, level] {
                watch(level);
            });
    }
    GUI::Button& back = widgets.button(tr("Back"), {TimeColumn, BackRow});
    back.setColors(GUI::Button::Label, MenuWidgets::LabelColours);
    back.setCallback(actions.close);
    page.pack(&back);
    page.selectFirst();
}
