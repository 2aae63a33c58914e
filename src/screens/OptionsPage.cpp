#include "screens/OptionsPage.hpp"

#include "actors/Gamepad.hpp"
#include "core/KeyNames.hpp"
#include "core/Translation.hpp"
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

// A line of help under the title, over two columns of seven rows and a bottom row of two.
const float LeftColumn = 395.f;
const float RightColumn = 885.f;
const float FirstRow = 290.f;
const float RowStep = 54.f;
const sf::Vector2f HintPlace(ScreenLayout::Width / 2.f, 225.f);
const unsigned HintSize = 32;
const sf::Color HintColour(200, 200, 200, 255);

// The rows that wait for a key or a pad button, in the page's order, with what they bind.
struct Binding {
    const char* label; // with what the action is bound to
    const char* hint;  // while the row waits, with what Escape keeps
    Bindings::Action action;
};
// In the order of the rows.
const Binding BindingRows[] = {
    {trLater("Drive left: %s"), trLater("Press the key for driving left; Escape keeps %s"),
     Bindings::Left},
    {trLater("Drive right: %s"), trLater("Press the key for driving right; Escape keeps %s"),
     Bindings::Right},
    {trLater("Jump: %s"), trLater("Press the key for jumping; Escape keeps %s"), Bindings::Jump},
    {trLater("Pause: %s"), trLater("Press the key for pausing; Escape keeps %s"), Bindings::Pause},
    {trLater("Mute: %s"), trLater("Press the key for muting; Escape keeps %s"), Bindings::Mute},
    {trLater("Pad jump: %s"), trLater("Press the pad button for jumping; Escape keeps %s"),
     Bindings::Jump},
    {trLater("Pad pause: %s"), trLater("Press the pad button for pausing; Escape keeps %s"),
     Bindings::Pause}};

// The binding row's line; the rows before Window are the binding rows.
const Binding& binding(int row) {
    return BindingRows[row];
}

const char* const ChooseHint = trLater("Choose an action, then press its new key");
const char* const RefusedHint =
    trLater("Escape, F11, minus and plus are the game's own: press another key");

// The choice after this one: the environment's language (no code), then every language the game
// has; a language the game does not know goes on to the first.
std::string following(const std::string& language) {
    const std::vector<std::string>& codes = Translation::languages();
    const auto at = std::find(codes.begin(), codes.end(), language);
    if (language.empty() || at == codes.end())
        return codes.front();
    return at + 1 == codes.end() ? std::string() : *(at + 1);
}

} // namespace

OptionsPage::OptionsPage(MenuWidgets& widgets, State::Context context, std::function<void()> leave)
    : widgets(widgets), context(context), leave(std::move(leave)), page(widgets.page()),
      hintText(ChooseHint) {
    hint = &widgets.label(tr(hintText), HintPlace, HintSize, HintColour);
    page.pack(hint);
    for (int row = 0; row < RowCount; ++row) {
        // Seven rows a column, the bindings and then the rest; Defaults and Back under them.
        const bool left = row <= PadPause || row == Reset;
        const int columnRows = Window;
        const int index = row >= Reset ? columnRows : left ? row : row - columnRows;
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
                hintWord.clear();
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
    case Timer:
        next.timer = !next.timer;
        change(next);
        break;
    case Language:
        next.language = following(next.language);
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
    hintText = waiting ? binding(*waiting).hint : ChooseHint;
    hintWord = waiting ? boundTo(*waiting) : std::string();
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
    hint->setText(tr(hintText, {hintWord}));
}

std::string OptionsPage::rowText(Row row) const {
    const Settings& settings = context.volume->getSettings();
    switch (row) {
    case Window:
        return shownFullscreen ? tr("Window: fullscreen") : tr("Window: windowed");
    case Sync:
        return settings.vsync ? tr("Vsync: on") : tr("Vsync: off");
    case Music:
        return tr("Music: %d %%", {std::to_string(settings.music)});
    case Effects:
        return tr("Effects: %d %%", {std::to_string(settings.effects)});
    case Sound:
        return settings.muted ? tr("Sound: muted") : tr("Sound: on");
    case Timer:
        return settings.timer ? tr("Level timer: shown") : tr("Level timer: hidden");
    case Language:
        if (settings.language.empty())
            return tr("Language: system default");
        return tr("Language: %s", {Translation::ownName(settings.language)});
    case Reset:
        return tr("Defaults");
    case Back:
        return tr("Back");
    default: // a key or a pad button
        if (waiting == row)
            return tr(binding(row).label,
                      {row >= PadJump ? tr("press a button") : tr("press a key")});
        return tr(binding(row).label, {boundTo(row)});
    }
}

std::string OptionsPage::boundTo(Row row) const {
    const Bindings& controls = context.volume->getSettings().controls;
    if (row == PadJump)
        return tr("button %d", {std::to_string(controls.padJump)});
    // Start is the name printed on the pads.
    if (row == PadPause)
        return controls.padPause ? tr("button %d", {std::to_string(*controls.padPause)}) : "Start";
    return KeyNames::shown(controls.key(binding(row).action));
}
