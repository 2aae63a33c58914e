#pragma once

#include "gui/Container.hpp"

#include <functional>
#include <string>
#include <vector>

class MenuWidgets;

// The user page: "New player" at the top, the players below it newest first, a row each (only as
// many as fit above "Back"), and "Back" one row below the last. The newest player, the current
// one, is highlighted for the keys. Choosing a name hands it to the page's action.
class UserPage {
public:
    struct Actions {
        std::function<void(const std::string&)> choose;
        std::function<void()> newPlayer;
        std::function<void()> back;
    };

    // Empty names are not shown.
    UserPage(MenuWidgets& widgets, const std::vector<std::string>& names, Actions actions);

    const GUI::Container& getPage() const { return page; }

private:
    GUI::Container page;
};
