#include "core/Translation.hpp"

#include "core/BuildInfo.hpp"

#include <libintl.h>

#include <algorithm>
#include <cctype>
#include <clocale>
#include <cstdlib>
#include <map>
#include <sstream>

namespace {

// The languages' names in themselves, as the options page offers them.
const std::map<std::string, std::string> OwnNames{{"de", "Deutsch"},
                                                  {"en", "English"},
                                                  {"es", "Español"},
                                                  {"fr", "Français"},
                                                  {"pt_BR", "Português (Brasil)"}};

const char* const LanguageVariables[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};

std::optional<std::string> variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

// The language variables as the process found them: the game sets LANGUAGE itself.
const std::map<std::string, std::optional<std::string>>& startingEnvironment() {
    static const auto found = [] {
        std::map<std::string, std::optional<std::string>> values;
        for (const char* name : LanguageVariables)
            values[name] = variable(name);
        return values;
    }();
    return found;
}

// gettext reads the LANGUAGE list only when the messages' locale is not "C"; "C.UTF-8" is built
// into the C library, so it serves when the player's own locale is not installed. The C library
// looks up its own messages (the system's reasons in the error stream) in the same list: they are
// pointed at a folder without catalogues, so the error stream stays English, as it was.
void leaveTheCLocale() {
    static const bool done = [] {
        if (!std::setlocale(LC_MESSAGES, "C.UTF-8"))
            std::setlocale(LC_MESSAGES, "");
        bindtextdomain("libc", "/nonexistent");
        return true;
    }();
    (void)done;
}

std::string fill(const std::string& text, const std::vector<std::string>& words) {
    std::string filled;
    std::size_t next = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            filled += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '%') {
            filled += '%';
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        std::size_t position = 0;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])) &&
               position < 100)
            position = position * 10 + static_cast<std::size_t>(text[end++] - '0');
        const bool positional = end > i + 1 && end < text.size() && text[end] == '$';
        end = positional ? end + 1 : i + 1;
        if (end < text.size() && (text[end] == 's' || text[end] == 'd')) {
            const std::size_t word = positional ? position - 1 : next++;
            if ((!positional || position > 0) && word < words.size()) {
                filled += words[word];
                i = end;
                continue;
            }
        }
        filled += '%';
    }
    return filled;
}

} // namespace

std::string Translation::tr(const char* english) {
    // gettext gives a catalogue's header for the empty text.
    if (!english || !*english)
        return "";
    return dgettext(BuildInfo::TextDomain, english);
}

std::string Translation::tr(const char* english, std::initializer_list<std::string> words) {
    return fill(tr(english), words);
}

std::string Translation::trPlural(const char* singular, const char* plural, long count) {
    const unsigned long n = count < 0 ? 0 : static_cast<unsigned long>(count);
    return fill(dngettext(BuildInfo::TextDomain, singular, plural, n), {std::to_string(count)});
}

// A context is kept in the catalogue before the text, parted from it by the character 4.
std::string Translation::trIn(const char* context, const char* english) {
    const std::string key = std::string(context) + '\004' + english;
    const char* found = dgettext(BuildInfo::TextDomain, key.c_str());
    return found == key.c_str() ? english : found;
}

sf::String Translation::shown(const std::string& utf8) {
    return sf::String::fromUtf8(utf8.begin(), utf8.end());
}

const std::vector<std::string>& Translation::languages() {
    static const std::vector<std::string> codes = [] {
        std::vector<std::string> list{"en"};
        std::istringstream words(BuildInfo::Languages);
        for (std::string code; words >> code;)
            list.push_back(code);
        return list;
    }();
    return codes;
}

std::string Translation::ownName(const std::string& code) {
    const auto found = OwnNames.find(code);
    return found == OwnNames.end() ? code : found->second;
}

void Translation::useCatalogues(const std::filesystem::path& folder) {
    bindtextdomain(BuildInfo::TextDomain, folder.c_str());
    bind_textdomain_codeset(BuildInfo::TextDomain, "UTF-8");
}

void Translation::useLanguage(const std::string& code) {
    const auto& started = startingEnvironment();
    const std::string list = searchList(code, [&started](const char* name) {
        const auto found = started.find(name);
        return found == started.end() ? std::nullopt : found->second;
    });
    leaveTheCLocale();
    setenv("LANGUAGE", list.c_str(), 1);
    // Naming the domain again makes gettext forget the texts it has already looked up.
    textdomain(BuildInfo::TextDomain);
}

std::string Translation::searchList(const std::string& code, const Environment& environment) {
    if (!code.empty())
        return code;
    std::string locale = "C";
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (const auto value = environment(name); value && !value->empty()) {
            locale = *value;
            break;
        }
    if (locale == "C" || locale == "POSIX")
        return "C";
    if (const auto list = environment("LANGUAGE"); list && !list->empty())
        return *list;
    return locale;
}
