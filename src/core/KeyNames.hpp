#pragma once

#include <SFML/Window/Keyboard.hpp>

#include <optional>
#include <string>

// The names of the keyboard's keys, as the settings file keeps them and the screens show them:
// the multimedia library's own names ("Left", "Space", "Num1", "F5"), translated on screen where
// they are words. One table in KeyNames.cpp holds them, in both directions.
namespace KeyNames {

// "Unknown" for a key the table does not name.
std::string name(sf::Keyboard::Key key);
// The name a player reads: a key named by a word (Space, Left, Escape) in the player's language.
std::string shown(sf::Keyboard::Key key);
// The key of a name exactly as the table spells it; nothing for any other word.
std::optional<sf::Keyboard::Key> key(const std::string& name);

} // namespace KeyNames
