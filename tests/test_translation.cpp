// The game's words in the player's language: the language the options or the environment choose,
// placeholders filled where a translation puts them, the catalogues the build made, and the game's
// fonts drawing every letter of them.
#include "core/Translation.hpp"

#include "TestSupport.hpp"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <set>
#include <sstream>

namespace {

using namespace testsupport;

struct Choice {
    std::string chosen; // on the options page
    std::map<std::string, std::string> environment;
    std::string searched; // gettext's LANGUAGE list
};

TEST(TranslationLanguage, TheOptionsChoiceComesFirstThenTheEnvironmentAsGettextReadsIt) {
    const Choice rows[] = {
        {"", {}, "C"},
        {"", {{"LANG", "de_DE.UTF-8"}}, "de_DE.UTF-8"},
        {"", {{"LANG", "de_DE.UTF-8"}, {"LC_MESSAGES", "fr_FR.UTF-8"}}, "fr_FR.UTF-8"},
        {"", {{"LC_MESSAGES", "fr_FR.UTF-8"}, {"LC_ALL", "es_ES.UTF-8"}}, "es_ES.UTF-8"},
        {"", {{"LC_ALL", ""}, {"LANG", "pt_BR.UTF-8"}}, "pt_BR.UTF-8"},
        {"", {{"LANG", "fr_FR.UTF-8"}, {"LANGUAGE", "pt_BR:de"}}, "pt_BR:de"},
        {"", {{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", ""}}, "de_DE.UTF-8"},
        // The C locale shows the program's own texts, whatever LANGUAGE lists.
        {"", {{"LANG", "C"}, {"LANGUAGE", "de"}}, "C"},
        {"", {{"LC_ALL", "POSIX"}, {"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "de"}}, "C"},
        {"fr", {{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "es"}}, "fr"},
        {"en", {{"LC_ALL", "de_DE.UTF-8"}}, "en"},
    };
    for (const Choice& row : rows) {
        const auto variable = [&row](const char* name) -> std::optional<std::string> {
            const auto found = row.environment.find(name);
            if (found == row.environment.end())
                return std::nullopt;
            return found->second;
        };
        EXPECT_EQ(Translation::searchList(row.chosen, variable), row.searched)
            << "chosen '" << row.chosen << "', " << row.environment.size() << " variables";
    }
}

// Texts no catalogue has, so they stay English and only the words change.
TEST(TranslationPlaceholders, WordsFillThePlaceholdersInTurnOrWhereANumberPutsThem) {
    EXPECT_EQ(tr("%s and %s", {"Left", "Right"}), "Left and Right");
    EXPECT_EQ(tr("%2$s before %1$s", {"Left", "Right"}), "Right before Left");
    EXPECT_EQ(tr("Music: %d %%", {"70"}), "Music: 70 %");
    // A placeholder without a word, or one that is none, stays as it is.
    EXPECT_EQ(tr("%s, %s", {"only"}), "only, %s");
    EXPECT_EQ(tr("%0$s %3$s %x 100%", {"a", "b"}), "%0$s %3$s %x 100%");
}

TEST(TranslationCatalogues, EveryLanguageOnOfferHasItsCatalogueAndItsOwnName) {
    ASSERT_GE(Translation::languages().size(), 5u) << "English and at least four more";
    EXPECT_EQ(Translation::languages().front(), "en");
    for (const std::string& code : Translation::languages()) {
        EXPECT_NE(Translation::ownName(code), code) << "a name for the options page";
        if (code == "en")
            continue;
        const ScopedLanguage language(code);
        EXPECT_NE(tr("Enter Your Name"), "Enter Your Name") << code;
    }
}

TEST(TranslationCatalogues, AnotherLanguageShowsFromTheNextLookUp) {
    const ScopedLanguage german("de");
    EXPECT_EQ(tr("Play"), "Spielen");
    EXPECT_EQ(trIn("key", "Space"), "Leertaste");
    EXPECT_STREQ(std::strerror(ENOENT), "No such file or directory")
        << "the system's reasons on the error stream stay English";
    Translation::useLanguage("fr");
    EXPECT_EQ(tr("Play"), "Jouer");
    EXPECT_EQ(tr("Continue: level %d", {"3"}), "Continuer : niveau 3");
    // French counts 0 and 1 alike.
    EXPECT_EQ(trPlural("%d tank lost", "%d tanks lost", 0), "0 tank perdu");
    EXPECT_EQ(trPlural("%d tank lost", "%d tanks lost", 2), "2 tanks perdus");
    Translation::useLanguage("pt_BR");
    EXPECT_EQ(tr("Level %d", {"2"}), "Fase 2");
    Translation::useLanguage("en");
    EXPECT_EQ(tr("Play"), "Play");
    EXPECT_EQ(trPlural("%d tank lost", "%d tanks lost", 0), "0 tanks lost");
    EXPECT_EQ(trPlural("%d tank lost", "%d tanks lost", 1), "1 tank lost");
    Translation::useLanguage("it");
    EXPECT_EQ(tr("Play"), "Play") << "a language without a catalogue shows English";
}

// Every character of every catalogue, the game's texts and the menu entry's alike, is in both of
// the faces the game draws with.
TEST(TranslationCatalogues, TheGamesFontsDrawEveryLetterOfEveryLanguage) {
    FT_Library library = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    for (const char* face : {"MenuTitle.ttf", "MenuButton.ttf"}) {
        FT_Face font = nullptr;
        const fs::path file = dataDir() / "Fonts" / face;
        ASSERT_EQ(FT_New_Face(library, file.c_str(), 0, &font), 0) << file;
        int catalogues = 0;
        for (const auto& entry : fs::directory_iterator(fs::path(QUELLIX_SOURCE_DIR) / "po")) {
            if (entry.path().extension() != ".po")
                continue;
            ++catalogues;
            const std::string text = readFile(entry.path());
            std::set<sf::Uint32> missing;
            for (const sf::Uint32 c : sf::String::fromUtf8(text.begin(), text.end()))
                if (c >= 0x20 && FT_Get_Char_Index(font, c) == 0)
                    missing.insert(c);
            std::ostringstream listed;
            for (const sf::Uint32 c : missing)
                listed << " U+" << std::hex << std::uppercase << c;
            EXPECT_TRUE(missing.empty())
                << face << " has no glyph in " << entry.path().filename() << " for" << listed.str();
        }
        EXPECT_GE(catalogues, 4);
        FT_Done_Face(font);
    }
    FT_Done_FreeType(library);
}

} // namespace
