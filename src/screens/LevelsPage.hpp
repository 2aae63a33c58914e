#pragma once

#include "gui/Container.hpp"
#include "replay/PlayerRuns.hpp"

#include <functional>
#include <optional>

class MenuWidgets;

// The menu's Levels page: every level the player has reached (level 1, and each one up to the
// best they reached), one row each, with a button that starts it, the game time and tanks lost of
// the player's best run of it, and a button that plays that run back; "Back" under them closes
// the page. When more levels are reached than rows fit, the furthest ones are shown.
class LevelsPage {
public:
    static constexpr int MaxRows = 8;

    struct Actions {
        std::function<void(int level)> play;
        std::function<void(int level)> watch;
        std::function<void()> close;
    };

    // Without a player's runs (no player yet) no level has a time.
    LevelsPage(MenuWidgets& widgets, const std::optional<PlayerRuns>& runs, int reached,
               const Actions& actions);

    const GUI::Container& getPage() const { return page; }

private:
    GUI::Container page;
};
