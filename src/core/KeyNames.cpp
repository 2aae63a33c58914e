#include "core/KeyNames.hpp"

#include "core/Translation.hpp"

#include <algorithm>
#include <array>
#include <iterator>
#include <utility>

namespace {

// In the order of sf::Keyboard::Key, from A (0) to Pause.
const std::array<const char*, sf::Keyboard::KeyCount> Names{
    "A",       "B",       "C",        "D",         "E",         "F",        "G",
    "H",       "I",       "J",        "K",         "L",         "M",        "N",
    "O",       "P",       "Q",        "R",         "S",         "T",        "U",
    "V",       "W",       "X",        "Y",         "Z",         "Num0",     "Num1",
    "Num2",    "Num3",    "Num4",     "Num5",      "Num6",      "Num7",     "Num8",
    "Num9",    "Escape",  "LControl", "LShift",    "LAlt",      "LSystem",  "RControl",
    "RShift",  "RAlt",    "RSystem",  "Menu",      "LBracket",  "RBracket", "Semicolon",
    "Comma",   "Period",  "Quote",    "Slash",     "Backslash", "Tilde",    "Equal",
    "Hyphen",  "Space",   "Enter",    "Backspace", "Tab",       "PageUp",   "PageDown",
    "End",     "Home",    "Insert",   "Delete",    "Add",       "Subtract", "Multiply",
    "Divide",  "Left",    "Right",    "Up",        "Down",      "Numpad0",  "Numpad1",
    "Numpad2", "Numpad3", "Numpad4",  "Numpad5",   "Numpad6",   "Numpad7",  "Numpad8",
    "Numpad9", "F1",      "F2",       "F3",        "F4",        "F5",       "F6",
    "F7",      "F8",      "F9",       "F10",       "F11",       "F12",      "F13",
    "F14",     "F15",     "Pause"};

// The keys whose names are words, as players read them. The others are letters, digits and
// F-keys, the same in every language.
const std::pair<sf::Keyboard::Key, const char*> Words[] = {
    // TRANSLATORS: the names of keys, as the keyboards of your language label them.
    {sf::Keyboard::Escape, trInLater("key", "Escape")},
    {sf::Keyboard::LControl, trInLater("key", "LControl")},
    {sf::Keyboard::LShift, trInLater("key", "LShift")},
    {sf::Keyboard::LAlt, trInLater("key", "LAlt")},
    {sf::Keyboard::RControl, trInLater("key", "RControl")},
    {sf::Keyboard::RShift, trInLater("key", "RShift")},
    {sf::Keyboard::RAlt, trInLater("key", "RAlt")},
    {sf::Keyboard::Menu, trInLater("key", "Menu")},
    {sf::Keyboard::Space, trInLater("key", "Space")},
    {sf::Keyboard::Enter, trInLater("key", "Enter")},
    {sf::Keyboard::Backspace, trInLater("key", "Backspace")},
    {sf::Keyboard::Tab, trInLater("key", "Tab")},
    {sf::Keyboard::PageUp, trInLater("key", "PageUp")},
    {sf::Keyboard::PageDown, trInLater("key", "PageDown")},
    {sf::Keyboard::End, trInLater("key", "End")},
    {sf::Keyboard::Home, trInLater("key", "Home")},
    {sf::Keyboard::Insert, trInLater("key", "Insert")},
    {sf::Keyboard::Delete, trInLater("key", "Delete")},
    {sf::Keyboard::Left, trInLater("key", "Left")},
    {sf::Keyboard::Right, trInLater("key", "Right")},
    {sf::Keyboard::Up, trInLater("key", "Up")},
    {sf::Keyboard::Down, trInLater("key", "Down")},
    {sf::Keyboard::Pause, trInLater("key", "Pause")}};

} // namespace

std::string KeyNames::shown(sf::Keyboard::Key key) {
    for (const auto& [word, english] : Words)
        if (word == key)
            return trIn("key", english);
    return name(key);
}

std::string KeyNames::name(sf::Keyboard::Key key) {
    if (key < 0 || key >= sf::Keyboard::KeyCount)
        return "Unknown";
    return Names[static_cast<std::size_t>(key)];
}

std::optional<sf::Keyboard::Key> KeyNames::key(const std::string& name) {
    const auto found = std::find(Names.begin(), Names.end(), name);
    if (found == Names.end())
        return std::nullopt;
    return static_cast<sf::Keyboard::Key>(std::distance(Names.begin(), found));
}
