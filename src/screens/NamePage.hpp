#pragma once

#include "gui/Container.hpp"

#include <functional>
#include <memory>
#include <string>

class MenuWidgets;

// The name page: a box in the middle of the screen that takes the player's name as it is typed.
// Enter hands the typed name (UTF-8) to the page's action, which decides whether it is taken; why
// one is not is the menu's notice, under the welcome line.
class NamePage {
public:
    NamePage(MenuWidgets& widgets, std::function<void(const std::string&)> enter);

    const GUI::Container& getPage() const { return page; }

private:
    std::shared_ptr<std::string> typed;
    GUI::Container page;
};
