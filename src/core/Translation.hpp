#pragma once

#include <SFML/System/String.hpp>

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

// The game's words in the player's language, through GNU gettext. Every text a player sees is
// written in English in the code, wrapped in tr() (or marked with trLater() where it sits in a
// table and is translated where it is shown); the build collects them into po/quellix.pot and
// compiles each language's catalogue po/<code>.po into <folder>/<code>/LC_MESSAGES/quellix.mo.
// A text with no translation shows in English. Translations are UTF-8.
//
// Process-wide: the catalogue folder and the language are gettext's own state and that of the
// process environment (LANGUAGE). They are set on the main thread only: the folder once at
// start-up by the application, the language whenever the player's settings name another one
// (VolumeControl). Texts are looked up on the main thread.
namespace Translation {

// The English text in the player's language.
std::string tr(const char* english);
// The same with its placeholders filled: "%s" and "%d" take the words in turn, "%1$s" the first
// word wherever it stands (so a translation may change their order), "%%" is a "%". A placeholder
// without a word is left as it is, so a broken catalogue cannot crash the game.
std::string tr(const char* english, std::initializer_list<std::string> words);
// A count's text, its "%d" filled: the language's rules choose among its forms (English has
// two, "%d tank lost" and "%d tanks lost").
std::string trPlural(const char* singular, const char* plural, long count);
// For a short English word that means different things in different places ("Pause" the key
// and "Pause" the action): the context tells the translator which.
std::string trIn(const char* context, const char* english);
// Mark texts in a table for the catalogue; they are translated with tr() or trIn() where they
// are shown.
constexpr const char* trLater(const char* english) {
    return english;
}
constexpr const char* trInLater(const char*, const char* english) {
    return english;
}
// UTF-8, as tr() gives it, for the multimedia library's texts.
sf::String shown(const std::string& utf8);

// The languages the game has catalogues for, English first and then as po/LINGUAS names them:
// "en", "de", ... English is the language of the code and has no catalogue.
const std::vector<std::string>& languages();
// A language's name in that language ("Deutsch"); the code for a language the game does not know.
std::string ownName(const std::string& code);

// Reads catalogues from this folder from now on.
void useCatalogues(const std::filesystem::path& folder);
// Shows texts in this language ("de", "pt_BR") from the next lookup on; an empty code follows the
// environment, as the process found it when it started.
void useLanguage(const std::string& code);

// What gettext is told to look for (its LANGUAGE list) for a chosen language, or for none (empty)
// in an environment read through the given function: as every gettext program does, a locale
// of "C" or "POSIX" (or none) in LC_ALL, LC_MESSAGES or LANG, the first that is set, shows the
// English texts ("C"), any other is replaced by the list in LANGUAGE when that is set.
using Environment = std::function<std::optional<std::string>(const char*)>;
std::string searchList(const std::string& code, const Environment& environment);

} // namespace Translation

using Translation::tr;
using Translation::trIn;
using Translation::trInLater;
using Translation::trLater;
using Translation::trPlural;
