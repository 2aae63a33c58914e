#pragma once

#include "core/State.hpp"
#include "gui/Container.hpp"
#include "screens/Backdrop.hpp"
#include "screens/MenuWidgets.hpp"
#include "screens/ScreenLayout.hpp"

#include <SFML/Graphics/Text.hpp>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace GUI {
class Button;
} // namespace GUI
class HowToPlayPage;
class NamePage;
class OptionsPage;

// The menu: the title, a welcome line with the player's name, and one page of widgets at a time.
// Pages form a stack whose front is the only page drawn, updated and given events: the main page
// ("Play", "User", "Exit", and "Continue: level N" once the player has got past level 1, over a
// row of smaller buttons: "How to play", "Levels" and "Options"), the name page on a first start
// or for a new player, the user page listing the players, How to play, which also opens by itself
// before a new player's first level, the Levels page (LevelsPage), and the options page
// (OptionsPage), which has the first say on every event while it is open. Pages answer the mouse
// and the keyboard; the volume keys work everywhere but on the name page, where they are typed.
// Everything is laid out in 1280 x 720 and drawn scaled to the window, and fitted again when the
// window changes size (F11).
class MenuState : public State {
public:
    MenuState(StateStack& stack, Context context);
    // Releases the menu's pictures.
    ~MenuState() override;

    // The menu's pictures, unless the holder has them: the loading screen's task loads them ahead.
    static void loadPictures(TextureHolder& textures);

    void draw() override;
    bool update(sf::Time dt) override;
    bool handleEvent(const sf::Event& event) override;

    std::size_t getPageCount() const { return pages.size(); }
    // The page shown; the main page is always there beneath the others.
    const GUI::Container& getFrontPage() const { return pages.front(); }
    // In layout units, as the pages' widgets.
    const sf::Text& getWelcome() const { return welcome; }
    // Under the welcome line: why a name was not taken, or that the player cannot be remembered.
    const sf::Text& getNotice() const { return notice; }

private:
    GUI::Container buildMainPage();
    // A small button of the main page's bottom row, centred at x.
    GUI::Button& bottomRowButton(const std::string& label, float x, std::function<void()> action);
    // Play from the level; a new player first sees How to play, once.
    void play(int firstLevel);
    void startGame(int firstLevel);
    void openNamePage();
    void openUserPage();
    void openHowToPlay(bool beforeFirstLevel);
    // Levels reached, best times, and the best runs to watch (LevelsPage).
    void openLevelsPage();
    void openOptions();
    void enterName(const std::string& name);
    void choosePlayer(const std::string& name);
    // The player is known and current from now on: the welcome line and the main page follow.
    void becomeCurrent(const std::string& name);
    // The main page and the welcome line again, for what has changed under them: the player, the
    // player's progress, the language.
    void rebuildMainPage();
    // After the options page has chosen another language, on the main page.
    void speakTheNewLanguage();
    const std::string& language() const;
    void setWelcome(const std::string& name);
    // Pages are opened and closed only after the front page has finished handling the event;
    // closing it inside its own loop would destroy the loop's container.
    void openPage(const GUI::Container& page);
    void closePage();
    void setNotice(const std::string& text);
    void applyPageChanges();
    void layOut(sf::Vector2u windowSize);

    ScreenLayout layout;
    Backdrop background;
    MenuWidgets widgets;
    // The front element is the current page.
    std::deque<GUI::Container> pages;
    sf::Text title;
    sf::Text welcome;
    sf::Text notice;
    // While a name page is open (at the front).
    std::unique_ptr<NamePage> namePage;
    // Made when How to play first opens, kept with the menu.
    std::unique_ptr<HowToPlayPage> howToPlay;
    std::vector<std::function<void()>> pendingPageChanges;
    // While the options page is open (at the front).
    std::unique_ptr<OptionsPage> options;
    // The language the main page was built in.
    std::string pagesLanguage;
};
