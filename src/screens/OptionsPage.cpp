#include "screens/OptionsPage.hpp"

#include "actors/Gamepad.hpp"
#include "core/KeyNames.hpp"
#include "core/WindowControl.hpp"
#include "gui/Button.hpp"
#include "gui/Label.hpp"
#include "screens/MenuWidgets.hpp"
#include "screens/ScreenLayout.hpp"
#include "screens/VolumeControl.hpp"

#include <SFML/Window/Event.hpp>
#include <SFML/Window/Joystick.hpp>

#include <algorithm>

namespace {

// A line of help where the main page welcomes the player, over two columns of seven rows.
const float LeftColumn = 395.f;
const float RightColumn = 885.f;
const float FirstRow = 340.f;
const float RowStep = 54.f;
const sf::Vector2f HintPlace(ScreenLayout::Width / 2.f, 250.f);
const unsigned HintSize = 32;
const sf::Color HintColour(200, 200, 200, 255);

// The rows that wait for a key or a pad button, in the page's order, with what they bind.
struct Binding {
    const char* name;
    const char* doing; // as in "the key for jumping"
    Bindings::Action action;
};
// In the order of the rows.
const Binding BindingRows[] = {{"Drive left", "driving left", Bindings::Left},
                               {"Drive right", "driving right", Bindings::Right},
                               {"Jump", "jumping", Bindings::Jump},
                               {"Pause", "pausing", Bindings::Pause},
                               {"Mute", "muting", Bindings::Mute},
                               {"Pad jump", "jumping", Bindings::Jump},
                               {"Pad pause", "pausing", Bindings::Pause}};

// The binding row's line; the rows before Window are the binding rows.
const Binding& binding(int row) {
    return BindingRows[row];
}

const char* const ChooseHint = "Choose an action, then press its new key";
const char* const RefusedHint = "Escape, F11, minus and plus are the game's own: press another key";

std::string onOff(bool flag) {
    return flag ? "on" : "off";
}

} // namespace

OptionsPage::OptionsPage(MenuWidgets& widgets, State::Context context, std::function<void()> leave)
    : widgets(widgets), context(context), leave(std::move(leave)), page(widgets.page()),
      hintText(ChooseHint) {
    hint = &widgets.label(hintText, HintPlace, HintSize, HintColour);
    page.pack(hint);
    for (int row = 0; row < RowCount; ++row) {
        const bool left = row <= PadPause;
        const int index = left ? row : row - Window;
        GUI::Button& button =
            makeRow(static_cast<Row>(row), {left ? LeftColumn : RightColumn,
                                            FirstRow + RowStep * static_cast<float>(index)});
        page.pack(&button);
    }
    page.selectFirst();
    show();
}

OptionsPage::~OptionsPage() {
    if (context.gamepad)
        context.gamepad->holdBackKeys(false);
}

GUI::Button& OptionsPage::makeRow(Row row, sf::Vector2f centre) {
    GUI::Button& button = widgets.button(rowText(row), centre);
    button.setColors(GUI::Button::Label, MenuWidgets::LabelColours);
    button.setCallback([this, row] { choose(row); });
    rows[row] = &button;
    return button;
}

bool OptionsPage::handleEvent(const sf::Event& event) {
    if (waiting)
        return handleWait(event);
    if (event.type != sf::Event::KeyPressed)
        return false;
    const sf::Keyboard::Key key = event.key.code;
    if (key == Bindings::Leave) {
        leave();
        return true;
    }
    if (key != sf::Keyboard::Left && key != sf::Keyboard::Right)
        return false;
    for (const Row row : {Music, Effects})
        if (rows[row]->isHovered()) {
            stepVolume(row, key == sf::Keyboard::Right ? 1 : -1, false);
            return true;
        }
    return false;
}

bool OptionsPage::handleWait(const sf::Event& event) {
    const bool padRow = *waiting >= PadJump;
    Settings next = context.volume->getSettings();
    switch (event.type) {
    case sf::Event::KeyPressed:
        if (event.key.code == Bindings::Leave) {
            wait(std::nullopt);
        } else if (!padRow) {
            if (next.controls.bind(binding(*waiting).action, event.key.code)) {
                wait(std::nullopt);
                change(next);
            } else {
                hintText = RefusedHint;
                show();
            }
        }
        return true;
    case sf::Event::JoystickButtonPressed:
        if (padRow) {
            const unsigned pad = event.joystickButton.joystickId;
            next.controls.bindPad(binding(*waiting).action, event.joystickButton.button,
                                  sf::Joystick::getButtonCount(pad));
            wait(std::nullopt);
            change(next);
        }
        return true;
    case sf::Event::TextEntered:
        return true;
    case sf::Event::MouseButtonPressed:
        // The click still presses whatever it is on.
        wait(std::nullopt);
        return false;
    default:
        return false;
    }
}

void OptionsPage::choose(Row row) {
    WindowControl* window = context.windowControl;
    Settings next = context.volume->getSettings();
    switch (row) {
    case Window:
        if (window)
            window->setFullscreen(!window->isFullscreen());
        break;
    case Sync:
        if (window)
            window->setVerticalSync(!window->hasVerticalSync());
        break;
    case Music:
    case Effects:
        stepVolume(row, 1, true);
        break;
    case Sound:
        next.muted = !next.muted;
        change(next);
        break;
    case Reset: {
        // The language is chosen elsewhere, and stays.
        Settings defaults;
        defaults.language = next.language;
        change(defaults);
        if (window) {
            window->setFullscreen(defaults.fullscreen);
            window->setVerticalSync(defaults.vsync);
        }
        break;
    }
    case Back:
        leave();
        break;
    default: // a key or a pad button
        wait(row);
        break;
    }
    show();
}

void OptionsPage::wait(std::optional<Row> row) {
    waiting = row;
    if (context.gamepad)
        context.gamepad->holdBackKeys(waiting.has_value());
    hintText = ChooseHint;
    if (waiting)
        hintText = std::string("Press the ") + (*waiting >= PadJump ? "pad button" : "key") +
                   " for " + binding(*waiting).doing + "; Escape keeps " + boundTo(*waiting);
    show();
}

void OptionsPage::stepVolume(Row row, int steps, bool wrap) {
    Settings next = context.volume->getSettings();
    int& volume = row == Music ? next.music : next.effects;
    volume += steps * Settings::VolumeStep;
    if (wrap && volume > Settings::MaxVolume)
        volume = 0;
    volume = std::clamp(volume, 0, Settings::MaxVolume);
    change(next);
}

void OptionsPage::change(const Settings& next) {
    context.volume->change(next);
    show();
}

void OptionsPage::update() {
    const bool fullscreen =
        context.windowControl ? context.windowControl->isFullscreen() : shown.fullscreen;
    if (context.volume->getSettings() != shown || fullscreen != shownFullscreen)
        show();
}

void OptionsPage::show() {
    shown = context.volume->getSettings();
    shownFullscreen =
        context.windowControl ? context.windowControl->isFullscreen() : shown.fullscreen;
    for (int row = 0; row < RowCount; ++row)
        widgets.relabel(*rows[row], rowText(static_cast<Row>(row)));
    hint->setText(hintText);
}

std::string OptionsPage::rowText(Row row) const {
    const Settings& settings = context.volume->getSettings();
    switch (row) {
    case Window:
        return std::string("Window: ") + (shownFullscreen ? "fullscreen" : "windowed");
    case Sync:
        return "Vsync: " + onOff(settings.vsync);
    case Music:
        return "Music: " + std::to_string(settings.music) + " %";
    case Effects:
        return "Effects: " + std::to_string(settings.effects) + " %";
    case Sound:
        return std::string("Sound: ") + (settings.muted ? "muted" : "on");
    case Reset:
        return "Defaults";
    case Back:
        return "Back";
    default: // a key or a pad button
        if (waiting == row)
            return std::string(binding(row).name) +
                   (row >= PadJump ? ": press a button" : ": press a key");
        return std::string(binding(row).name) + ": " + boundTo(row);
    }
}

std::string OptionsPage::boundTo(Row row) const {
    const Bindings& controls = context.volume->getSettings().controls;
    if (row == PadJump)
        return "button " + std::to_string(controls.padJump);
    if (row == PadPause)
        return controls.padPause ? "button " + std::to_string(*controls.padPause) : "Start";
    return KeyNames::name(controls.key(binding(row).action));
}
