#pragma once

#include "gui/Container.hpp"

#include <functional>
#include <memory>
#include <string>

class MenuWidgets;
namespace GUI {
class Label;
class Panel;
} // namespace GUI

// The name page: a box in the middle of the screen that takes the player's name as it is typed,
// and a reason line under it, empty until something must be said: why a name was not taken, or
// anything else the player should know before typing again. Enter hands the typed name (UTF-8)
// to the page's action, which decides whether it is taken.
class NamePage {
public:
    NamePage(MenuWidgets& widgets, std::function<void(const std::string&)> enter);

    const GUI::Container& getPage() const { return page; }
    // Shows the words on the reason line; the empty text hides the line.
    void setReason(const std::string& reason);
    const std::string& getReason() const { return reason; }

private:
    std::shared_ptr<std::string> typed;
    GUI::Panel* plate;
    GUI::Label* line;
    std::string reason;
    GUI::Container page;
};
