#pragma once

#include "actors/Bindings.hpp"
#include "core/State.hpp"
#include "gui/Container.hpp"
#include "screens/Settings.hpp"

#include <array>
#include <functional>
#include <optional>
#include <string>

namespace sf {
class Event;
}
namespace GUI {
class Button;
class Label;
} // namespace GUI
class MenuWidgets;

// The menu's "Options" page, in the 1280 x 720 layout: a line of help under the title; under it,
// on the left, the keys for driving left and right, jumping, pausing and muting and the pad's jump
// and pause buttons; on the right fullscreen or a window, vertical sync, the music's and the
// effects' volumes, mute, the level timer over play and the language; under both columns
// "Defaults" and "Back".
//
// Choosing a key's row waits for the next key, which is bound to that action (a key that another
// action had swaps with it; the game's own keys are refused and the wait goes on); a pad row waits
// for a pad button the same way. Escape ends a wait and keeps the binding, and so does a mouse
// click, which then does what it does anyway. While the page waits, the pads' buttons stand for no
// key, so a pad's press is never taken for a key. A volume row raises its volume a step (from 100
// back to 0), and Left and Right lower and raise it while the row is highlighted. The language row
// goes from the system's language through every language the game has, and the page shows the new
// one at once. Every change is kept in the settings at once. Escape (not waiting) or "Back" leaves
// the page.
class OptionsPage {
public:
    // The widgets are kept by the menu's widget maker; leave is called when the player leaves.
    OptionsPage(MenuWidgets& widgets, State::Context context, std::function<void()> leave);
    // The pads' buttons stand for their keys again.
    ~OptionsPage();
    OptionsPage(const OptionsPage&) = delete;
    OptionsPage& operator=(const OptionsPage&) = delete;

    // The page to show in front; its widgets show the settings as they are.
    const GUI::Container& getPage() const { return page; }
    // Offered every event before the page's widgets and the menu's own keys: true when the page
    // has used it (a key or pad button bound, a wait ended, Escape, a volume stepped), and nothing
    // else may act on it.
    bool handleEvent(const sf::Event& event);
    // Once a frame: the rows follow settings changed elsewhere (the volume keys, F11).
    void update();

private:
    enum Row {
        LeftKey,
        RightKey,
        JumpKey,
        PauseKey,
        MuteKey,
        PadJump,
        PadPause,
        Window,
        Sync,
        Music,
        Effects,
        Sound,
        Timer,
        Language,
        Reset,
        Back,
        RowCount
    };

    GUI::Button& makeRow(Row row, sf::Vector2f centre);
    void choose(Row row);
    bool handleWait(const sf::Event& event);
    void wait(std::optional<Row> row);
    void stepVolume(Row row, int steps, bool wrap);
    void change(const Settings& next);
    void show();
    std::string rowText(Row row) const;
    // What a key or pad row's action is bound to.
    std::string boundTo(Row row) const;

    MenuWidgets& widgets;
    State::Context context;
    std::function<void()> leave;
    GUI::Container page;
    std::array<GUI::Button*, RowCount> rows{};
    GUI::Label* hint = nullptr;
    // The line of help in English, and the word it names.
    const char* hintText;
    std::string hintWord;
    // The key or pad row waiting for its key or button.
    std::optional<Row> waiting;
    // What the rows show; they are redrawn when the settings or the window differ.
    Settings shown;
    bool shownFullscreen = true;
};
