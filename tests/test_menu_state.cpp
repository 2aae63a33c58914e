// The menu on a real window, clicked by moving the X pointer and handing the screen button events,
// and driven with keys: the name page, the user page, the Levels page, the page changes, the
// choices that leave the menu, "Continue" for a player who got further, the volume keys, the
// options page, and the menu in other languages, whose every label fits its button.
#include "actors/Bindings.hpp"
#include "actors/Gamepad.hpp"
#include "core/KeyNames.hpp"
#include "core/MusicPlayer.hpp"
#include "core/ResourceHolder.hpp"
#include "core/StateStack.hpp"
#include "core/Translation.hpp"
#include "core/WindowControl.hpp"
#include "gui/Button.hpp"
#include "gui/Label.hpp"
#include "gui/Picture.hpp"
#include "gui/TextBox.hpp"
#include "replay/PlayerRuns.hpp"
#include "replay/Recording.hpp"
#include "screens/MenuState.hpp"
#include "screens/UserFiles.hpp"
#include "screens/UserProfile.hpp"
#include "screens/VolumeControl.hpp"

#include "CaptureErrors.hpp"
#include "TestSupport.hpp"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Window/Event.hpp>
#include <SFML/Window/Mouse.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <map>
#include <sstream>
#include <thread>

namespace {

using namespace testsupport;

const char* const FontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

int gamesMade = 0;
struct FakeGame : State {
    FakeGame(StateStack& stack, Context context) : State(stack, context) { ++gamesMade; }
    void draw() override {}
    bool update(sf::Time) override { return true; }
    bool handleEvent(const sf::Event&) override { return true; }
};

// Writes a plain picture and loads it under the identifier, as the loading task would.
void loadPicture(TextureHolder& textures, Textures::Textures id, const fs::path& file,
                 sf::Vector2u size, sf::Color colour) {
    sf::Image picture;
    picture.create(size.x, size.y, colour);
    ASSERT_TRUE(picture.saveToFile(file.string()));
    textures.load(id, file.string());
}

// The menu as the stack makes it, remembering itself so the test can look at it.
struct SeenMenu : MenuState {
    SeenMenu(StateStack& stack, Context context) : MenuState(stack, context) { current = this; }
    ~SeenMenu() override { current = nullptr; }
    static SeenMenu* current;
};
SeenMenu* SeenMenu::current = nullptr;

sf::Vector2f centre(const sf::FloatRect& rect) {
    return sf::Vector2f(rect.left + rect.width / 2.f, rect.top + rect.height / 2.f);
}

class MenuStateTest : public ::testing::Test {
protected:
    MenuStateTest() : cwd(dir.path()) {
        gamesMade = 0;
        // The whole test screen: the menu's 1280 x 720 layout one pixel a unit.
        openWindow({1280, 720});
        fs::create_directories(dir / "User");
        // Where the game has them, so a menu that comes back finds them again.
        fs::create_directories(dir / "Images");
        loadPicture(textures, Textures::MenuScreen, dir / "Images/MenuScreen.png", {80, 60},
                    sf::Color::Blue);
        // Buttons 200 x 40, so rows 50 pixels apart do not overlap.
        loadPicture(textures, Textures::NormalButton, dir / "Images/NormalButton.png", {200, 40},
                    sf::Color::White);
        loadPicture(textures, Textures::ActiveButton, dir / "Images/ActiveButton.png", {200, 40},
                    sf::Color::Green);
        loadPicture(textures, Textures::SelectedButton, dir / "Images/SelectedButton.png",
                    {200, 40}, sf::Color::Red);
        fonts.load(Fonts::MenuTitle, FontFile);
        fonts.load(Fonts::MenuButton, FontFile);
        stack.registerState<SeenMenu>(States::Menu);
        stack.registerState<FakeGame>(States::Game);
    }
    ~MenuStateTest() override { window.close(); }

    void openWindow(sf::Vector2u size) {
        window.create(sf::VideoMode(size.x, size.y), "menu test", sf::Style::None);
        window.setPosition(sf::Vector2i(0, 0));
        window.display();
    }

    // The menu as a new one draws itself on a window of that size.
    sf::Image menuShot(sf::Vector2u size) {
        stack.clear();
        frame();
        openWindow(size);
        start();
        frame();
        sf::Texture shot;
        if (!shot.create(size.x, size.y))
            throw std::runtime_error("no texture for the shot");
        shot.update(window);
        return shot.copyToImage();
    }

    MenuState& start() {
        stack.push(States::Menu);
        frame();
        if (!SeenMenu::current)
            throw std::runtime_error("the menu was not made");
        return *SeenMenu::current;
    }

    // Moves the pointer there, then presses and releases the left button, and runs a frame.
    void click(float x, float y) {
        const sf::Vector2i position(static_cast<int>(x), static_cast<int>(y));
        for (int i = 0; i < 50 && sf::Mouse::getPosition(window) != position; ++i) {
            sf::Mouse::setPosition(position, window);
            if (sf::Mouse::getPosition(window) != position)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ASSERT_EQ(sf::Mouse::getPosition(window), position) << "the pointer did not move there";
        sf::Event event;
        event.mouseButton.button = sf::Mouse::Left;
        event.mouseButton.x = position.x;
        event.mouseButton.y = position.y;
        event.type = sf::Event::MouseButtonPressed;
        stack.handleEvent(event);
        event.type = sf::Event::MouseButtonReleased;
        stack.handleEvent(event);
        frame();
    }

    void type(const sf::String& text) {
        for (const sf::Uint32 c : text) {
            sf::Event event;
            event.type = sf::Event::TextEntered;
            event.text.unicode = c;
            stack.handleEvent(event);
        }
    }

    void key(sf::Keyboard::Key code) { stack.handleEvent(keyPressed(code)); }

    // Level files for World::countLevels to find; the menu reads nothing else of them.
    void levels(int count) {
        for (int level = 1; level <= count; ++level)
            writeFile(dir / ("Levels/Level" + std::to_string(level) + ".lua"), "return {}");
    }

    void frame() {
        stack.update(sf::milliseconds(16));
        window.clear();
        stack.draw();
        window.display();
    }

    // Of the widgets the pointer can reach, not of the words and pictures.
    std::vector<sf::FloatRect> frontPageBounds() const {
        std::vector<sf::FloatRect> bounds;
        for (const GUI::Component* child : SeenMenu::current->getFrontPage().getChildren())
            if (!dynamic_cast<const GUI::Decoration*>(child))
                bounds.push_back(child->getBounds());
        return bounds;
    }

    // The words of the front page's widgets of one kind: the buttons' labels, the labels' words.
    template <typename Widget> std::vector<std::string> frontPageTexts() const {
        std::vector<std::string> texts;
        for (const GUI::Component* child : SeenMenu::current->getFrontPage().getChildren())
            if (const auto* widget = dynamic_cast<const Widget*>(child))
                texts.push_back(utf8(widget->getText().getString()));
        return texts;
    }
    // The words on the front page that are not on a button.
    std::vector<std::string> frontPageWords() const { return frontPageTexts<GUI::Label>(); }

    std::string listFile() const { return readFile(dir / "User" / "UserData.bin"); }

    static std::string utf8(const sf::String& text) {
        const auto bytes = text.toUtf8();
        return std::string(bytes.begin(), bytes.end());
    }

    std::vector<std::string> frontPageLabels() const { return frontPageTexts<GUI::Button>(); }

    void chooseLanguage(const std::string& code) {
        Settings chosen = volume.getSettings();
        chosen.language = code;
        volume.change(chosen);
    }

    // The buttons of the front page that show the hovered picture.
    std::vector<std::string> labelsLookingHovered() {
        std::vector<std::string> labels;
        for (const GUI::Component* child : SeenMenu::current->getFrontPage().getChildren())
            if (const auto* button = dynamic_cast<const GUI::Button*>(child))
                if (button->getShape().getTexture() == &textures.get(Textures::ActiveButton))
                    labels.push_back(button->getText().getString().toAnsiString());
        return labels;
    }

    TempDir dir;
    ScopedCwd cwd;
    sf::RenderWindow window;
    TextureHolder textures;
    MusicPlayer music;
    FontHolder fonts;
    UserProfile profile;
    VolumeControl volume{dir / "Settings.txt", music};
    int firstLevel = 0; // as the menu leaves it for the game
    const sf::Image icon;
    WindowControl windowControl{window, volume, icon};
    Gamepad gamepad;
    Recording replay; // a best run the menu chose to watch
    StateStack stack{State::Context{&window, &textures, &music, &fonts, &profile, dir / "User",
                                    &volume, &firstLevel, nullptr, nullptr, &windowControl,
                                    &gamepad, &replay}};
};

// The settings file is written on a thread of its own, a moment after a change.
// Settings are written off the main thread: a file's text is waited for, for up to 5 s.
bool soonHolds(const fs::path& file, const std::string& text, bool present = true) {
    for (int i = 0; i < 500; ++i) {
        if ((readFile(file).find(text) != std::string::npos) == present)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

const float Middle = 640.f; // the middle of the layout, and of the test window
const sf::Vector2f NameBox(640.f, 216.f);

TEST_F(MenuStateTest, AKnownPlayerIsWelcomedOnTheMainPage) {
    profile.name = "Ann";
    profile.loggedIn = true;
    MenuState& menu = start();
    EXPECT_EQ(menu.getPageCount(), 1u);
    EXPECT_EQ(menu.getWelcome().getString(), sf::String("Welcome Ann"));
    // Play, User and Exit, centred on the middle of the window at 350, 430 and 510, and the
    // smaller "How to play", "Levels" and "Options" in the bottom row, at x 340, 640 and 940.
    const auto buttons = frontPageBounds();
    ASSERT_EQ(buttons.size(), 6u);
    const float rows[] = {350.f, 430.f, 510.f};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(centre(buttons[i]).x, Middle);
        EXPECT_FLOAT_EQ(centre(buttons[i]).y, rows[i]);
        EXPECT_FLOAT_EQ(buttons[i].width, i < 3 ? 200.f : 120.f);
    }
    EXPECT_EQ(frontPageLabels(), (std::vector<std::string>{"Play", "User", "Exit", "How to play",
                                                           "Levels", "Options"}));
    for (std::size_t i = 3; i < 6; ++i) {
        EXPECT_FLOAT_EQ(centre(buttons[i]).x, 340.f + 300.f * static_cast<float>(i - 3));
        EXPECT_FLOAT_EQ(centre(buttons[i]).y, 670.f);
        EXPECT_FLOAT_EQ(buttons[i].width, 120.f) << "0.6 of the button picture's width";
    }
}

TEST_F(MenuStateTest, AFirstStartAsksForANameAndTheMainPageWaits) {
    MenuState& menu = start();
    EXPECT_EQ(menu.getPageCount(), 2u);
    EXPECT_EQ(menu.getWelcome().getString(), sf::String("Welcome "));
    ASSERT_EQ(frontPageBounds().size(), 1u);
    click(Middle, 510.f); // where Exit is, under the name page
    EXPECT_FALSE(stack.isEmpty());
    EXPECT_EQ(menu.getPageCount(), 2u);
}

TEST_F(MenuStateTest, ANewNameIsRegisteredAndWelcomed) {
    MenuState& menu = start();
    click(NameBox.x, NameBox.y);
    type(sf::String(L"Zo\u00EB"));
    type(sf::String(L"\r"));
    frame();
    EXPECT_EQ(menu.getPageCount(), 1u) << "the name page is gone";
    EXPECT_EQ(listFile(), "Zo\xC3\xAB\n");
    EXPECT_EQ(readFile(dir / "User" / "Zo\xC3\xAB.bin"), "5\n0\n1\n1");
    EXPECT_EQ(profile.name, "Zo\xC3\xAB");
    EXPECT_TRUE(profile.loggedIn);
    EXPECT_EQ(profile.value1, 5);
    EXPECT_EQ(menu.getWelcome().getString(), sf::String(L"Welcome Zo\u00EB"));
    // Re-centred on the middle of the window (the origin ignores the glyphs' left bearing).
    EXPECT_NEAR(centre(menu.getWelcome().getGlobalBounds()).x, Middle, 4.f);
    // A second Enter has no name page to reach.
    type(sf::String(L"\r"));
    EXPECT_EQ(listFile(), "Zo\xC3\xAB\n");
}

TEST_F(MenuStateTest, ANameThatCannotBeSavedIsWelcomedWithWordThatItIsNotRemembered) {
    // Nothing can be written below a "User" that is a file, not even by root.
    fs::remove_all(dir / "User");
    writeFile(dir / "User", "");
    MenuState& menu = start();
    EXPECT_EQ(menu.getNotice().getString(), sf::String());
    click(NameBox.x, NameBox.y);
    CaptureErrors errors;
    type("Bob\r");
    frame();
    EXPECT_EQ(menu.getPageCount(), 1u) << "the player plays on, this time";
    EXPECT_TRUE(profile.loggedIn);
    EXPECT_EQ(menu.getWelcome().getString(), sf::String("Welcome Bob"));
    EXPECT_EQ(menu.getNotice().getString(),
              sf::String("Bob cannot be remembered on this computer"));
    // Between the welcome line and "Play".
    const sf::FloatRect notice = menu.getNotice().getGlobalBounds();
    EXPECT_NEAR(centre(notice).x, Middle, 4.f);
    EXPECT_GT(notice.top,
              menu.getWelcome().getGlobalBounds().top + menu.getWelcome().getGlobalBounds().height);
    EXPECT_LT(notice.top + notice.height, frontPageBounds().front().top);
}

TEST_F(MenuStateTest, AKnownNameIsLoadedAndTheListStaysAsItWas) {
    writeFile(dir / "User" / "UserData.bin", "Ann\n");
    writeFile(dir / "User" / "Ann.bin", "7\n12\n8\n9");
    MenuState& menu = start();
    EXPECT_EQ(menu.getPageCount(), 2u) << "no one was found at start-up in this test";
    click(NameBox.x, NameBox.y);
    type("Ann\r");
    frame();
    EXPECT_EQ(menu.getPageCount(), 1u);
    EXPECT_EQ(listFile(), "Ann\n");
    EXPECT_EQ(profile.value1, '7');
    EXPECT_EQ(profile.value2, 12);
    EXPECT_EQ(profile.name, "Ann");
}

TEST_F(MenuStateTest, AKnownNameMissingFromTheListIsPutFirstInIt) {
    // Written with Windows line ends, so the game found nobody at start-up.
    writeFile(dir / "User" / "UserData.bin", "Ann\r\nBob\r\n");
    writeFile(dir / "User" / "Ann.bin", "7\n12\n8\n9");
    writeFile(dir / "User" / "Cat.bin", "5\n0\n1\n1");
    MenuState& menu = start();
    click(NameBox.x, NameBox.y);
    type("Cat\r");
    frame();
    EXPECT_EQ(menu.getPageCount(), 1u);
    EXPECT_EQ(listFile(), "Cat\nAnn\r\nBob\r\n");
    EXPECT_EQ(profile.name, "Cat");
}

// A refused name says why on the name page, in the notice under the box and the welcome line,
// until a name is taken.
TEST_F(MenuStateTest, ARefusedNameSaysWhyUnderTheBoxAndTheNamePageWaitsForAnother) {
    MenuState& menu = start();
    EXPECT_EQ(menu.getNotice().getString(), sf::String()) << "nothing to say yet";
    click(NameBox.x, NameBox.y);
    type("../x\r");
    frame();
    EXPECT_EQ(menu.getPageCount(), 2u);
    EXPECT_EQ(menu.getNotice().getString(), sf::String("A name cannot contain / or \\"));
    EXPECT_GT(menu.getNotice().getGlobalBounds().top, NameBox.y) << "under the box";
    EXPECT_FALSE(fs::exists(dir / "User" / "UserData.bin"));
    EXPECT_FALSE(fs::exists(dir / "x.bin"));
    EXPECT_FALSE(profile.loggedIn);
    type(sf::String(L"\b\b\b\bUserData\r"));
    EXPECT_EQ(menu.getNotice().getString(),
              sf::String("UserData is the game's list of players: choose another name"));
    type(sf::String(L"\b\b\b\b\b\b\b\bAnn\r"));
    frame();
    EXPECT_EQ(menu.getPageCount(), 1u);
    EXPECT_EQ(listFile(), "Ann\n");
    EXPECT_EQ(menu.getNotice().getString(), sf::String()) << "said and done";
}

TEST_F(MenuStateTest, TheEmptyNameIsTaken) {
    MenuState& menu = start();
    click(NameBox.x, NameBox.y);
    type("\r");
    frame();
    EXPECT_EQ(menu.getPageCount(), 1u);
    EXPECT_EQ(listFile(), "\n");
    EXPECT_EQ(readFile(dir / "User" / ".bin"), "5\n0\n1\n1");
}

TEST_F(MenuStateTest, TheUserPageListsThePlayersAndBackReturns) {
    writeFile(dir / "User" / "UserData.bin", "Eve\nDan\n\nCat\nBob\nAnn\n");
    profile.name = "Eve";
    profile.loggedIn = true;
    MenuState& menu = start();
    click(Middle, 430.f);
    ASSERT_EQ(menu.getPageCount(), 2u);
    // New player at 350, five names at 400, 450, ... 600 (the empty line is skipped), and Back
    // at 700.
    const auto buttons = frontPageBounds();
    ASSERT_EQ(buttons.size(), 7u);
    const float rows[] = {350.f, 400.f, 450.f, 500.f, 550.f, 600.f, 700.f};
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_FLOAT_EQ(centre(buttons[i]).x, Middle);
        EXPECT_FLOAT_EQ(centre(buttons[i]).y, rows[i]) << i;
    }
    EXPECT_EQ(frontPageLabels(),
              (std::vector<std::string>{"New player", "Eve", "Dan", "Cat", "Bob", "Ann", "Back"}));
    // Their labels are black in every look: the user page sets no colours.
    const auto* name = dynamic_cast<const GUI::Button*>(menu.getFrontPage().getChildren()[1]);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->getText().getFillColor(), sf::Color::Black);
    frame();
    EXPECT_EQ(labelsLookingHovered(), std::vector<std::string>{"Eve"}) << "the current player";

    click(Middle, 450.f); // Dan has no file: he cannot be chosen
    EXPECT_EQ(menu.getPageCount(), 2u);
    EXPECT_EQ(profile.name, "Eve");
    EXPECT_EQ(menu.getNotice().getString(),
              sf::String("Dan has no file any more: Dan cannot be chosen"));
    EXPECT_FALSE(stack.isEmpty());

    click(Middle, 700.f - 1.f); // Back
    EXPECT_EQ(menu.getPageCount(), 1u);
    EXPECT_EQ(frontPageBounds().size(), 6u) << "the main page again";
    // And the main page works again: User opens a fresh user page.
    click(Middle, 430.f);
    EXPECT_EQ(menu.getPageCount(), 2u);
}

TEST_F(MenuStateTest, BackStaysOnTheScreenWhateverTheNumberOfPlayers) {
    writeFile(dir / "User" / "UserData.bin", "H\nG\nF\nE\nD\nC\nB\nA\n");
    profile.loggedIn = true;
    MenuState& menu = start();
    click(Middle, 430.f);
    // The newest five fit above Back, whose 40-pixel button ends at the window's bottom edge.
    const auto buttons = frontPageBounds();
    ASSERT_EQ(buttons.size(), 7u);
    const auto* newest = dynamic_cast<const GUI::Button*>(menu.getFrontPage().getChildren()[1]);
    ASSERT_NE(newest, nullptr);
    EXPECT_EQ(newest->getText().getString(), sf::String("H"));
    EXPECT_FLOAT_EQ(centre(buttons.back()).y, 700.f);
    click(Middle, 700.f);
    EXPECT_EQ(menu.getPageCount(), 1u) << "Back can be clicked";
}

TEST_F(MenuStateTest, WithoutAListTheUserPageHasOnlyNewPlayerAndBack) {
    profile.loggedIn = true;
    MenuState& menu = start();
    click(Middle, 430.f);
    const auto buttons = frontPageBounds();
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_FLOAT_EQ(centre(buttons[1]).y, 450.f);
    click(Middle, 450.f);
    EXPECT_EQ(menu.getPageCount(), 1u);
}

TEST_F(MenuStateTest, PlayReplacesTheMenuWithTheGame) {
    profile.loggedIn = true;
    start();
    click(Middle, 350.f);
    EXPECT_EQ(SeenMenu::current, nullptr) << "the menu is gone";
    EXPECT_EQ(gamesMade, 1);
    EXPECT_EQ(stack.size(), 1u);
}

// Play releases the menu's pictures; a menu that comes back loads and shows them again.
TEST_F(MenuStateTest, ThePicturesGoWithTheMenuAndComeBackWithIt) {
    profile.loggedIn = true;
    start();
    click(Middle, 350.f);
    ASSERT_EQ(gamesMade, 1);
    for (const auto id : {Textures::MenuScreen, Textures::NormalButton, Textures::ActiveButton,
                          Textures::SelectedButton})
        EXPECT_FALSE(textures.contains(id)) << "picture " << id << " is released";

    std::ostringstream errors;
    std::streambuf* const previous = std::cerr.rdbuf(errors.rdbuf());
    stack.pop();
    start();
    std::cerr.rdbuf(previous);
    EXPECT_EQ(errors.str(), "") << "nothing is used before it is loaded";
    sf::Texture shot;
    ASSERT_TRUE(shot.create(window.getSize().x, window.getSize().y));
    shot.update(window);
    const sf::Image picture = shot.copyToImage();
    EXPECT_EQ(picture.getPixel(5, 5), sf::Color::Blue) << "the menu's picture is shown again";
    EXPECT_EQ(picture.getPixel(static_cast<unsigned>(Middle) - 95, 350), sf::Color::White)
        << "and the buttons'";
}

TEST_F(MenuStateTest, ExitEmptiesTheStack) {
    profile.loggedIn = true;
    start();
    click(Middle, 510.f);
    EXPECT_TRUE(stack.isEmpty());
    EXPECT_EQ(gamesMade, 0);
}

TEST_F(MenuStateTest, EscapeLeavesEvenFromTheNamePage) {
    start();
    key(sf::Keyboard::Escape);
    EXPECT_TRUE(stack.isEmpty());
    EXPECT_FALSE(fs::exists(dir / "User" / "UserData.bin"));
}

TEST_F(MenuStateTest, OtherKeysDoNothing) {
    profile.loggedIn = true;
    start();
    for (const sf::Keyboard::Key other : {sf::Keyboard::A, sf::Keyboard::Left, sf::Keyboard::Tab})
        key(other);
    frame();
    EXPECT_EQ(labelsLookingHovered(), std::vector<std::string>{"Play"});
    EXPECT_FALSE(stack.isEmpty());
    EXPECT_EQ(gamesMade, 0);
}

TEST_F(MenuStateTest, TheKeysHighlightAButtonWithItsHoveredLookAndTriggerIt) {
    profile.loggedIn = true;
    start();
    frame();
    EXPECT_EQ(labelsLookingHovered(), std::vector<std::string>{"Play"}) << "the first, on opening";
    key(sf::Keyboard::Down);
    frame();
    EXPECT_EQ(labelsLookingHovered(), std::vector<std::string>{"User"});
    key(sf::Keyboard::Space);
    frame();
    EXPECT_EQ(SeenMenu::current->getPageCount(), 2u) << "the user page";
    EXPECT_EQ(labelsLookingHovered(), std::vector<std::string>{"New player"})
        << "no names are listed";
    key(sf::Keyboard::Down);
    frame();
    EXPECT_EQ(labelsLookingHovered(), std::vector<std::string>{"Back"});
    key(sf::Keyboard::Return);
    frame();
    EXPECT_EQ(SeenMenu::current->getPageCount(), 1u);
    EXPECT_EQ(labelsLookingHovered(), std::vector<std::string>{"User"}) << "where it was";
    key(sf::Keyboard::Down);
    key(sf::Keyboard::Return);
    EXPECT_TRUE(stack.isEmpty()) << "Exit";
    EXPECT_EQ(gamesMade, 0);
}

TEST_F(MenuStateTest, APlayerWhoGotFurtherIsOfferedToContinueThere) {
    levels(3);
    profile.loggedIn = true;
    const std::map<std::int64_t, std::vector<std::string>> offers{
        {0, {"Play", "User", "Exit", "How to play", "Levels", "Options"}},
        {1, {"Play", "User", "Exit", "How to play", "Levels", "Options"}},
        {3, {"Play", "User", "Exit", "Continue: level 3", "How to play", "Levels", "Options"}},
        {4, {"Play", "User", "Exit", "How to play", "Levels", "Options"}}, // no level 4 any more
        {-2, {"Play", "User", "Exit", "How to play", "Levels", "Options"}},
    };
    for (const auto& [reached, labels] : offers) {
        profile.value2 = reached;
        start();
        EXPECT_EQ(frontPageLabels(), labels) << reached;
        stack.clear();
        frame();
    }
    profile.value2 = 3;
    start();
    EXPECT_FLOAT_EQ(centre(frontPageBounds()[3]).y, 590.f) << "under the three";
    // Round from Play to the bottom row, Options, Levels and How to play, then up to Continue.
    key(sf::Keyboard::Up);
    key(sf::Keyboard::Up);
    key(sf::Keyboard::Up);
    key(sf::Keyboard::Up);
    key(sf::Keyboard::Return);
    EXPECT_EQ(gamesMade, 1);
    EXPECT_EQ(firstLevel, 3);

    start();
    key(sf::Keyboard::Return);
    EXPECT_EQ(gamesMade, 2);
    EXPECT_EQ(firstLevel, 1) << "Play starts at level 1 whatever the player reached";
}

TEST_F(MenuStateTest, InGermanTheNamePageTheMainPageAndTheWelcomeAreGerman) {
    const ScopedLanguage german("de");
    levels(3);
    writeFile(dir / "User" / "Ann.bin", "5\n3\n1\n1");
    MenuState& menu = start();
    const auto* box = dynamic_cast<const GUI::TextBox*>(menu.getFrontPage().getChildren()[0]);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(utf8(box->getText().getString()), "Gib deinen Namen ein");
    type("Ann\r");
    frame();
    EXPECT_EQ(frontPageLabels(),
              (std::vector<std::string>{"Spielen", "Wer spielt?", "Beenden", "Weiter: Level 3",
                                        "Spielanleitung", "Level", "Optionen"}));
    EXPECT_EQ(utf8(menu.getWelcome().getString()), "Willkommen Ann");
    key(sf::Keyboard::Down);
    key(sf::Keyboard::Return);
    EXPECT_EQ(frontPageLabels(), (std::vector<std::string>{"Neuer Spieler", "Ann", "Zurück"}));
}

// Ann reached level 3; her best run of level 2 took 83.4 s and cost 2 tanks, and the one she kept
// of level 3 is damaged.
TEST_F(MenuStateTest, TheLevelsPageListsTheLevelsReachedWithTheirBestRunsToStartOrWatch) {
    levels(4);
    profile.name = "Ann";
    profile.value2 = 3;
    profile.loggedIn = true;
    Recording best({1280, 720});
    best.levels.emplace_back();
    Recording::Level& level2 = best.levels.back();
    level2.number = 2;
    level2.hash = *Recording::levelHash(2);
    level2.add(sf::milliseconds(10), {});
    level2.steps.back().count = 8340;
    level2.end = Recording::End::Cleared;
    level2.tanksLost = 2;
    const PlayerRuns runs(dir / "User", "Ann");
    runs.keep(best);
    writeFile(runs.bestFile(3), "quellix-replay 1\n");

    MenuState& menu = start();
    std::ostringstream errors;
    std::streambuf* const previous = std::cerr.rdbuf(errors.rdbuf());
    click(Middle, 670.f);
    std::cerr.rdbuf(previous);
    ASSERT_EQ(menu.getPageCount(), 2u);
    EXPECT_NE(errors.str().find(runs.bestFile(3).string()), std::string::npos) << errors.str();
    EXPECT_EQ(frontPageLabels(),
              (std::vector<std::string>{"Level 1", "Level 2", "Watch", "Level 3", "Back"}));
    EXPECT_EQ(frontPageWords(),
              (std::vector<std::string>{"no time yet", "1:23.4   2 tanks lost", "no time yet"}));
    // A row every 40 units from 362 under the welcome line, Back at the bottom.
    const auto buttons = frontPageBounds();
    EXPECT_FLOAT_EQ(centre(buttons[0]).y, 362.f);
    EXPECT_FLOAT_EQ(centre(buttons[1]).y, 402.f);
    EXPECT_FLOAT_EQ(centre(buttons[2]).y, 402.f) << "Watch, beside its level";
    EXPECT_LT(centre(buttons[1]).x, Middle);
    EXPECT_GT(centre(buttons[2]).x, Middle);

    click(centre(buttons[2]).x, centre(buttons[2]).y); // Watch
    EXPECT_EQ(gamesMade, 1);
    ASSERT_EQ(replay.levels.size(), 1u) << "the game plays the best run back";
    EXPECT_EQ(replay.levels[0].number, 2);
    EXPECT_EQ(replay.levels[0].time(), sf::seconds(83.4f));

    start();
    click(Middle, 670.f);
    const auto rows = frontPageBounds();
    click(centre(rows[3]).x, centre(rows[3]).y); // Level 3
    EXPECT_EQ(gamesMade, 2);
    EXPECT_EQ(firstLevel, 3);

    MenuState& again = start();
    click(Middle, 670.f);
    click(Middle, 692.f); // Back
    EXPECT_EQ(again.getPageCount(), 1u);
    EXPECT_EQ(gamesMade, 2);
}

TEST_F(MenuStateTest, ANameTypedWithoutAClickIsTakenAndAKnownPlayersProgressIsOffered) {
    levels(2);
    writeFile(dir / "User" / "UserData.bin", "Ann\n");
    writeFile(dir / "User" / "Ann.bin", "5\n2\n1\n1");
    MenuState& menu = start();
    type("Ann\r");
    frame();
    EXPECT_EQ(menu.getPageCount(), 1u);
    EXPECT_EQ(profile.name, "Ann");
    EXPECT_EQ(frontPageLabels(),
              (std::vector<std::string>{"Play", "User", "Exit", "Continue: level 2", "How to play",
                                        "Levels", "Options"}));
    EXPECT_EQ(labelsLookingHovered(), std::vector<std::string>{"Play"});
}

TEST_F(MenuStateTest, TheVolumeKeysWorkButOnTheNamePageTheyType) {
    MenuState& menu = start();
    type("m-");
    key(sf::Keyboard::M);
    key(sf::Keyboard::Hyphen);
    EXPECT_EQ(volume.getSettings().music, 100);
    EXPECT_FALSE(volume.getSettings().muted);
    type("\r");
    frame();
    EXPECT_EQ(menu.getPageCount(), 1u);
    EXPECT_EQ(profile.name, "m-");
    key(sf::Keyboard::Hyphen);
    key(sf::Keyboard::M);
    EXPECT_EQ(volume.getSettings().music, 90);
    EXPECT_EQ(volume.getSettings().effects, 90);
    EXPECT_TRUE(volume.getSettings().muted);
}

// Colours within this distance (the largest of the channels' differences) look alike.
bool alike(sf::Color a, sf::Color b, int distance) {
    return std::abs(a.r - b.r) <= distance && std::abs(a.g - b.g) <= distance &&
           std::abs(a.b - b.b) <= distance;
}

// The mean of a square of k x k pixels.
sf::Color blockMean(const sf::Image& image, unsigned x, unsigned y, unsigned k) {
    unsigned r = 0, g = 0, b = 0;
    for (unsigned j = 0; j < k; ++j)
        for (unsigned i = 0; i < k; ++i) {
            const sf::Color c = image.getPixel(x * k + i, y * k + j);
            r += c.r, g += c.g, b += c.b;
        }
    const unsigned n = k * k;
    return sf::Color(static_cast<sf::Uint8>(r / n), static_cast<sf::Uint8>(g / n),
                     static_cast<sf::Uint8>(b / n));
}

// Pixels of an area that are neither the background nor the text on it: the edges of glyphs.
std::size_t edgePixels(const sf::Image& image, const sf::IntRect& area, sf::Color background,
                       sf::Color ink) {
    std::size_t count = 0;
    for (int y = area.top; y < area.top + area.height; ++y)
        for (int x = area.left; x < area.left + area.width; ++x) {
            const sf::Color c = image.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y));
            if (!alike(c, background, 40) && !alike(c, ink, 40))
                ++count;
        }
    return count;
}

// "How to play", the bottom row's button, opens the page; its only button, highlighted, goes back.
TEST_F(MenuStateTest, HowToPlayOpensFromTheBottomRowAndBackReturns) {
    profile.loggedIn = true;
    MenuState& menu = start();
    click(340.f, 670.f);
    ASSERT_EQ(menu.getPageCount(), 2u);
    EXPECT_EQ(frontPageLabels(), std::vector<std::string>{"Back"});
    const auto words = frontPageWords();
    for (const char* expected :
         {"How to play", "Left and Right drive, Up jumps.",
          "Strike a block from below:", "Drive into a stunned wolf to scrap it.",
          "Key places look like this:", "P pauses, M mutes."})
        EXPECT_NE(std::find(words.begin(), words.end(), expected), words.end()) << expected;
    key(sf::Keyboard::Return);
    EXPECT_EQ(menu.getPageCount(), 1u);
    EXPECT_EQ(gamesMade, 0);

    // It names the keys as the player has bound them.
    Settings rebound = volume.getSettings();
    rebound.controls.bind(Bindings::Jump, sf::Keyboard::W);
    volume.change(rebound);
    click(340.f, 670.f);
    const auto named = frontPageWords();
    EXPECT_NE(std::find(named.begin(), named.end(), "Left and Right drive, W jumps."), named.end());
}

// A player registered on the name page sees How to play before the first level, once: Play
// opens it and its own Play starts level 1; from then on Play goes straight to the game. The
// player's own file stays as a new player's.
TEST_F(MenuStateTest, ANewPlayerSeesHowToPlayOnceBeforeTheFirstLevel) {
    MenuState& menu = start();
    type("Kim\r");
    frame();
    EXPECT_TRUE(fs::exists(dir / "User" / "Kim.new"));
    click(Middle, 350.f);
    EXPECT_EQ(gamesMade, 0);
    ASSERT_EQ(menu.getPageCount(), 2u);
    EXPECT_EQ(frontPageLabels(), std::vector<std::string>{"Play"});
    EXPECT_FALSE(fs::exists(dir / "User" / "Kim.new"));
    key(sf::Keyboard::Return);
    EXPECT_EQ(gamesMade, 1);
    EXPECT_EQ(firstLevel, 1);

    stack.clear();
    frame();
    start();
    click(Middle, 350.f);
    EXPECT_EQ(gamesMade, 2) << "straight to the game";
    EXPECT_EQ(readFile(dir / "User" / "Kim.bin"), "5\n0\n1\n1");
}

// Choosing a name on the user page makes that player current, with their progress, and puts the
// name first in the list, so the next start greets them; the other lines stay as they were.
TEST_F(MenuStateTest, ChoosingANameMakesThatPlayerCurrentAndPutsThemFirstInTheList) {
    levels(3);
    writeFile(dir / "User" / "UserData.bin", "Eve\r\nDan\nCat\n");
    writeFile(dir / "User" / "Eve.bin", "5\n0\n1\n1");
    writeFile(dir / "User" / "Dan.bin", "5\n3\n1\n1");
    profile.name = "Eve";
    profile.loggedIn = true;
    MenuState& menu = start();
    click(Middle, 430.f);
    click(Middle, 450.f); // Dan
    EXPECT_EQ(menu.getPageCount(), 1u);
    EXPECT_EQ(profile.name, "Dan");
    EXPECT_EQ(profile.value2, 3);
    EXPECT_EQ(menu.getWelcome().getString(), sf::String("Welcome Dan"));
    EXPECT_EQ(frontPageLabels(),
              (std::vector<std::string>{"Play", "User", "Exit", "Continue: level 3", "How to play",
                                        "Levels", "Options"}));
    EXPECT_EQ(listFile(), "Dan\nEve\r\nCat\n");
    EXPECT_EQ(readFile(dir / "User" / "Dan.bin"), "5\n3\n1\n1");
    UserProfile nextStart;
    UserFiles(dir / "User").findCurrentUser(nextStart);
    EXPECT_EQ(nextStart.name, "Dan");
}

TEST_F(MenuStateTest, NewPlayerOnTheUserPageRegistersAnotherPlayerWhoBecomesCurrent) {
    writeFile(dir / "User" / "UserData.bin", "Eve\n");
    writeFile(dir / "User" / "Eve.bin", "5\n2\n1\n1");
    profile.name = "Eve";
    profile.loggedIn = true;
    MenuState& menu = start();
    click(Middle, 430.f);
    click(Middle, 350.f); // New player
    ASSERT_EQ(menu.getPageCount(), 3u);
    EXPECT_EQ(frontPageLabels(), std::vector<std::string>{}) << "the name page";
    type("Zed\r");
    frame();
    EXPECT_EQ(menu.getPageCount(), 1u) << "back on the main page";
    EXPECT_EQ(profile.name, "Zed");
    EXPECT_EQ(profile.value2, 0);
    EXPECT_EQ(menu.getWelcome().getString(), sf::String("Welcome Zed"));
    EXPECT_EQ(listFile(), "Zed\nEve\n");
    EXPECT_EQ(readFile(dir / "User" / "Eve.bin"), "5\n2\n1\n1");
}

// A 3840 x 2160 monitor shows the 1280 x 720 menu three times larger: every pixel of the small
// one is the mean of three by three of the large one, but along the edges of letters. Those are
// drawn at the large size, as sharp as the small one's: about three times as many edge pixels
// along three times the length, where letters drawn small and enlarged would smear each edge over
// three pixels and have nine times as many.
TEST_F(MenuStateTest, TheMenuAt3840x2160IsThe1280x720MenuScaledWithSharpLetters) {
    profile.name = "Ann";
    profile.loggedIn = true;
    const sf::Image small = menuShot({1280, 720});
    const sf::Image large = menuShot({3840, 2160});
    const fs::path artifacts = fs::path(QUELLIX_BINARY_DIR) / "test-artifacts" / "menu-scaled";
    fs::create_directories(artifacts);
    small.saveToFile((artifacts / "1280x720.png").string());
    large.saveToFile((artifacts / "3840x2160.png").string());
    // Away from the edges of what is drawn: the letters of a line are placed a little
    // differently at each size, so an outline or a thin stroke may fall a pixel further along.
    const auto uniformAround = [&](unsigned x, unsigned y) {
        const sf::Color shown = small.getPixel(x, y);
        for (const int dy : {-2, 0, 2})
            for (const int dx : {-2, 0, 2})
                if (!alike(shown, small.getPixel(x + dx, y + dy), 8))
                    return false;
        return true;
    };
    std::size_t differing = 0, compared = 0;
    for (unsigned y = 2; y < 718; ++y)
        for (unsigned x = 2; x < 1278; ++x) {
            if (!uniformAround(x, y))
                continue;
            ++compared;
            if (!alike(small.getPixel(x, y), blockMean(large, x, y, 3), 64))
                ++differing;
        }
    EXPECT_GT(compared, 1280u * 680u); // but the letters and the edges of the pictures
    EXPECT_LT(differing, 50u);

    // "Quellix", black on the blue backdrop, centred at (640, 100).
    const sf::IntRect title(440, 50, 400, 100);
    const sf::IntRect largeTitle(title.left * 3, title.top * 3, title.width * 3, title.height * 3);
    const std::size_t smallEdges = edgePixels(small, title, sf::Color::Blue, sf::Color::Black);
    const std::size_t largeEdges = edgePixels(large, largeTitle, sf::Color::Blue, sf::Color::Black);
    ASSERT_GT(smallEdges, 100u) << "the title is there";
    EXPECT_GT(largeEdges, 2 * smallEdges);
    EXPECT_LT(largeEdges, 5 * smallEdges) << "sharp letters";
}

// On a 1000 x 720 window the layout is 1000 x 562.5 from y 78: "User" (430) shows at y 414, and
// that is where the pointer finds it; at 510, where "Exit" would be unscaled, is nothing.
TEST_F(MenuStateTest, OnAWindowOfAnotherShapeThePointerFindsTheButtonsWhereTheyShow) {
    openWindow({1000, 720});
    profile.loggedIn = true;
    MenuState& menu = start();
    click(500.f, 510.f);
    EXPECT_FALSE(stack.isEmpty());
    EXPECT_EQ(menu.getPageCount(), 1u);
    click(500.f, 414.f);
    EXPECT_EQ(menu.getPageCount(), 2u) << "the user page";
}

// The options page, as the main page's last button opens it; its rows in the 1280 x 720 layout:
// the bindings on the left, the window, the sound, the timer and the language on the right, 54
// apart from y 290, and under them Defaults on the left and Back on the right.
class OptionsPageTest : public MenuStateTest {
protected:
    static constexpr float Left = 395.f, Right = 885.f;
    static float row(int k) { return 290.f + 54.f * static_cast<float>(k); }

    MenuState& openOptions() {
        profile.loggedIn = true;
        MenuState& menu = start();
        key(sf::Keyboard::Up); // from Play round to the bottom row
        key(sf::Keyboard::Return);
        frame();
        return menu;
    }
    // Whether the page shows the label (on a button) or the line of help.
    bool shows(const std::string& text) {
        for (const std::string& label : frontPageLabels())
            if (label == text)
                return true;
        return false;
    }
    const Bindings& bound() const { return volume.getSettings().controls; }
};

TEST_F(OptionsPageTest, AKeyIsBoundByPressingItAndAKeyBoundElsewhereSwaps) {
    MenuState& menu = openOptions();
    ASSERT_EQ(menu.getPageCount(), 2u);
    EXPECT_EQ(labelsLookingHovered(), std::vector<std::string>{"Drive left: Left"});
    key(sf::Keyboard::Down);
    key(sf::Keyboard::Down);
    key(sf::Keyboard::Return);
    EXPECT_TRUE(shows("Jump: press a key"));
    key(sf::Keyboard::Space);
    EXPECT_TRUE(shows("Jump: Space"));
    EXPECT_EQ(bound().key(Bindings::Jump), sf::Keyboard::Space);

    click(Left, row(0)); // Drive left, with the pointer
    key(sf::Keyboard::Space);
    EXPECT_TRUE(shows("Drive left: Space"));
    EXPECT_TRUE(shows("Jump: Left")) << "jump takes the key drive left had";
    EXPECT_TRUE(
        soonHolds(dir / "Settings.txt", "key-left Space\nkey-right Right\nkey-jump Left\n"));

    key(sf::Keyboard::Escape);
    EXPECT_EQ(menu.getPageCount(), 1u) << "Escape goes back to the main page";
    EXPECT_FALSE(stack.isEmpty());
    EXPECT_EQ(frontPageLabels().back(), "Options");
}

TEST_F(OptionsPageTest, WhileAKeyIsAwaitedEscapeKeepsItsKeyAndTheGamesOwnKeysAreRefused) {
    MenuState& menu = openOptions();
    click(Left, row(4)); // Mute
    for (const sf::Keyboard::Key own : {sf::Keyboard::Hyphen, sf::Keyboard::Add})
        key(own);
    EXPECT_TRUE(shows("Mute: press a key")) << "still waiting";
    EXPECT_EQ(volume.getSettings().music, 100) << "minus and plus did not reach the volume";
    key(sf::Keyboard::Escape);
    EXPECT_TRUE(shows("Mute: M"));
    EXPECT_EQ(menu.getPageCount(), 2u) << "the first Escape only ends the wait";
    key(sf::Keyboard::M);
    frame();
    EXPECT_TRUE(volume.getSettings().muted) << "the mute key works on the page";
    EXPECT_TRUE(shows("Sound: muted"));
    EXPECT_FALSE(fs::exists(dir / "Settings.txt") &&
                 readFile(dir / "Settings.txt").find("key-mute M\n") == std::string::npos);
}

TEST_F(OptionsPageTest, VolumesStepApartMuteAndDefaultsPutsEverythingBack) {
    openOptions();
    for (int i = 0; i < 9; ++i) // down the left column, and the right one to Music
        key(sf::Keyboard::Down);
    key(sf::Keyboard::Return); // from 100 round to 0
    EXPECT_TRUE(shows("Music: 0 %"));
    // Right and Left step the highlighted row.
    for (int i = 0; i < 3; ++i)
        key(sf::Keyboard::Right);
    key(sf::Keyboard::Down);
    key(sf::Keyboard::Left);
    key(sf::Keyboard::Left);
    EXPECT_TRUE(shows("Effects: 80 %"));
    EXPECT_TRUE(shows("Music: 30 %")) << "the volumes are apart";
    EXPECT_FLOAT_EQ(music.getVolume(), 30.f) << "and heard at once";
    click(Right, row(4));
    EXPECT_TRUE(volume.getSettings().muted);
    click(Right, row(5));
    EXPECT_TRUE(shows("Level timer: shown"));
    EXPECT_TRUE(soonHolds(dir / "Settings.txt", "timer yes\n"));

    click(Left, row(2));
    key(sf::Keyboard::Z);
    click(Right, row(1)); // Vsync
    EXPECT_TRUE(shows("Vsync: off"));
    click(Right, row(0)); // Window
    EXPECT_TRUE(shows("Window: windowed"));
    EXPECT_FALSE(windowControl.isFullscreen()) << "asked, for the next frame";
    click(Left, row(7)); // Defaults
    EXPECT_EQ(volume.getSettings(), Settings());
    EXPECT_TRUE(windowControl.isFullscreen());
    EXPECT_TRUE(shows("Jump: Up"));
    EXPECT_TRUE(shows("Music: 100 %"));
    click(Right, row(7)); // Back
    EXPECT_EQ(SeenMenu::current->getPageCount(), 1u);
}

TEST_F(OptionsPageTest, APadButtonIsBoundByPressingItAndStandsForNoKeyMeanwhile) {
    openOptions();
    click(Left, row(5)); // Pad jump
    EXPECT_TRUE(shows("Pad jump: press a button"));
    sf::Event pressed;
    pressed.type = sf::Event::JoystickButtonPressed;
    pressed.joystickButton = {0, 0};
    EXPECT_EQ(gamepad.keyFor(pressed, 11, bound()), std::nullopt)
        << "the south button is no Return while the page waits";
    key(sf::Keyboard::Space);
    EXPECT_EQ(bound().key(Bindings::Jump), sf::Keyboard::Up) << "a key binds no pad button";
    pressed.joystickButton = {0, 3};
    stack.handleEvent(pressed);
    EXPECT_TRUE(shows("Pad jump: button 3"));
    EXPECT_EQ(bound().padJump, 3u);
    EXPECT_EQ(gamepad.keyFor(pressed, 11, bound()), std::optional(sf::Keyboard::Return))
        << "it chooses on the menu now";

    click(Left, row(2)); // Jump, waiting for a key: a pad's button is not taken for one
    pressed.joystickButton = {0, 1};
    stack.handleEvent(pressed);
    EXPECT_TRUE(shows("Jump: press a key"));
    EXPECT_EQ(bound().padJump, 3u);
}

// F11 makes a window of another size: the open page is fitted to it, and the pointer finds its
// buttons where they show. On 1000 x 720 "Back" (885, 668) shows at (691, 601).
TEST_F(OptionsPageTest, AfterTheWindowChangesSizeThePointerFindsTheRowsWhereTheyShow) {
    MenuState& menu = openOptions();
    openWindow({1000, 720});
    sf::Event resized;
    resized.type = sf::Event::Resized;
    resized.size = {1000, 720};
    stack.handleEvent(resized);
    frame();
    click(691.f, 600.f);
    EXPECT_EQ(menu.getPageCount(), 1u);
}

TEST_F(OptionsPageTest, TheLanguageRowGoesRoundTheLanguagesAndThePagesSpeakEachAtOnce) {
    const ScopedLanguage catalogues("en");
    MenuState& menu = openOptions();
    EXPECT_TRUE(shows("Language: system default"));
    click(Right, row(6));
    EXPECT_TRUE(shows("Language: English"));
    click(Right, row(6));
    EXPECT_TRUE(shows("Sprache: Deutsch"));
    EXPECT_TRUE(shows("Zurück")) << "the whole page in German";
    EXPECT_TRUE(soonHolds(dir / "Settings.txt", "language de\n"));
    key(sf::Keyboard::Escape);
    EXPECT_EQ(frontPageLabels(), (std::vector<std::string>{"Spielen", "Wer spielt?", "Beenden",
                                                           "Spielanleitung", "Level", "Optionen"}));
    EXPECT_EQ(utf8(menu.getWelcome().getString()), "Willkommen ");
    key(sf::Keyboard::Up);
    key(sf::Keyboard::Return);
    for (const char* shown :
         {"Idioma: Español", "Langue : Français", "Idioma: Português (Brasil)"}) {
        click(Right, row(6));
        EXPECT_TRUE(shows(shown)) << shown;
    }
    click(Right, row(6));
    EXPECT_EQ(volume.getSettings().language, "") << "round to the system's language";
    EXPECT_TRUE(soonHolds(dir / "Settings.txt", "language", false));
}

// The menu with the game's own button pictures and fonts at 1280 x 720: every label, in every
// language and in every state a row can show, stays on its button's face, between the end caps
// (16 of the picture's 460 pixels each), every line of words stays on the screen (inside How to
// play's card), clear of the buttons and pictures, and so does the name page's notice.
class LabelsFitTest : public OptionsPageTest {
protected:
    // The pictures where the menu loads them again when it comes back.
    LabelsFitTest() {
        for (const auto& [id, file] : {std::pair(Textures::NormalButton, "NormalButton.png"),
                                       std::pair(Textures::ActiveButton, "ActiveButton.png"),
                                       std::pair(Textures::SelectedButton, "SelectedButton.png")}) {
            fs::copy_file(dataDir() / "Images" / file, dir / "Images" / file,
                          fs::copy_options::overwrite_existing);
            textures.release(id);
            textures.load(id, (dir / "Images" / file).string());
        }
        for (const auto& [id, file] : {std::pair(Fonts::MenuTitle, "MenuTitle.ttf"),
                                       std::pair(Fonts::MenuButton, "MenuButton.ttf")}) {
            fonts.release(id);
            fonts.load(id, (dataDir() / "Fonts" / file).string());
        }
    }

    static bool inside(const sf::FloatRect& words, float left, float top, float right,
                       float bottom) {
        return words.left >= left && words.top >= top && words.left + words.width <= right &&
               words.top + words.height <= bottom;
    }

    void expectFit(const std::string& where) {
        for (const GUI::Component* child : SeenMenu::current->getFrontPage().getChildren()) {
            if (const auto* button = dynamic_cast<const GUI::Button*>(child)) {
                const sf::FloatRect face = button->getBounds();
                const float cap = face.width * 16.f / 460.f;
                const sf::FloatRect words =
                    button->getTransform().transformRect(button->getText().getGlobalBounds());
                EXPECT_TRUE(inside(words, face.left + cap, face.top, face.left + face.width - cap,
                                   face.top + face.height))
                    << '"' << utf8(button->getText().getString()) << "\" " << where;
            } else if (const auto* label = dynamic_cast<const GUI::Label*>(child)) {
                const sf::FloatRect words = label->getTextBounds();
                EXPECT_TRUE(inside(words, 40.f, 0.f, 1240.f, 720.f))
                    << '"' << utf8(label->getText().getString()) << "\" " << where;
                for (const GUI::Component* other :
                     SeenMenu::current->getFrontPage().getChildren()) {
                    const auto* picture = dynamic_cast<const GUI::Picture*>(other);
                    const sf::FloatRect taken =
                        picture ? picture->getPictureBounds() : other->getBounds();
                    EXPECT_FALSE(words.intersects(taken))
                        << '"' << utf8(label->getText().getString())
                        << "\" runs into a button or a picture, " << where;
                }
            } else if (const auto* box = dynamic_cast<const GUI::TextBox*>(child)) {
                const sf::FloatRect field = box->getBox().getGlobalBounds();
                EXPECT_TRUE(inside(box->getText().getGlobalBounds(), field.left, field.top,
                                   field.left + field.width, field.top + field.height))
                    << '"' << utf8(box->getText().getString()) << "\" " << where;
            }
        }
    }

    // Every key the row may take whose name, as shown, is longer than three letters (A, F12 or
    // Tab are narrower than the rows' own keys), bound with the keys alone: Return on the
    // highlighted row waits, the key binds.
    void bindEveryKey(const std::string& where) {
        for (int code = 0; code < sf::Keyboard::KeyCount; ++code) {
            const auto key = static_cast<sf::Keyboard::Key>(code);
            // Not one of the game's own keys.
            if (KeyNames::shown(key).size() > 3 && Bindings().bind(Bindings::Left, key)) {
                this->key(sf::Keyboard::Return);
                this->key(key);
                expectFit(where + ", bound to " + KeyNames::name(key));
            }
        }
    }
};

TEST_F(LabelsFitTest, EveryLabelFitsItsButtonInEveryLanguage) {
    const ScopedLanguage catalogues("en");
    levels(8);
    // Ann has got to level 8 ("Continue: level 8"), and kept a best run of level 2 (a time and the
    // tanks lost on the Levels page, and "Watch").
    Recording best({1280, 720});
    best.levels.emplace_back();
    best.levels.back().number = 2;
    best.levels.back().hash = *Recording::levelHash(2);
    best.levels.back().add(sf::milliseconds(10), {});
    best.levels.back().steps.back().count = 359999; // 59:59.9
    best.levels.back().end = Recording::End::Cleared;
    best.levels.back().tanksLost = 25;
    PlayerRuns(dir / "User", "Ann").keep(best);
    for (const std::string& code : Translation::languages()) {
        // The default keys again: How to play names them in a line of its narrow columns.
        Settings fresh;
        fresh.language = code;
        volume.change(fresh);
        writeFile(dir / "User" / "Ann.bin", "5\n8\n1\n1");
        MenuState& menu = start();
        expectFit(code + " name page");
        {
            const CaptureErrors refused; // the error stream names the name too
            type("UserData\r");          // the longest reason
        }
        EXPECT_TRUE(inside(menu.getNotice().getGlobalBounds(), 40.f, 0.f, 1240.f, 720.f))
            << utf8(menu.getNotice().getString());
        type("\b\b\b\b\b\b\b\bAnn\r");
        expectFit(code + " main page");
        click(340.f, 670.f);
        ASSERT_GT(frontPageWords().size(), 10u) << "How to play";
        expectFit(code + " How to play");
        key(sf::Keyboard::Return);
        key(sf::Keyboard::Down);
        key(sf::Keyboard::Return);
        expectFit(code + " user page");
        key(sf::Keyboard::Down);
        key(sf::Keyboard::Return);
        click(Middle, 670.f);
        ASSERT_EQ(frontPageLabels().size(), 10u) << "the Levels page: 8 levels, Watch and Back";
        expectFit(code + " Levels page");
        stack.clear();
        frame();
        openOptions();
        expectFit(code + " options");
        for (int k : {0, 1, 4, 5}) // fullscreen, vsync, sound, timer: the other state
            click(Right, row(k));
        expectFit(code + " options, window, vsync, sound and timer switched");
        click(Left, row(0));
        key(sf::Keyboard::Hyphen); // refused
        expectFit(code + " options, a key refused");
        key(sf::Keyboard::Escape);
        for (int k = 0; k < 7; ++k) {
            click(Left, row(k));
            expectFit(code + " options, waiting on row " + std::to_string(k));
            key(sf::Keyboard::Escape);
        }
        // The key rows are the first five; the highlight stays on the row it bound.
        click(Left, row(0));
        key(sf::Keyboard::Escape);
        for (int k = 0; k < 5; ++k) {
            bindEveryKey(code + " row " + std::to_string(k));
            key(sf::Keyboard::Down);
        }
        stack.clear();
        frame();
        // The system's language, named in this one.
        chooseLanguage("");
        Translation::useLanguage(code);
        openOptions();
        expectFit(code + " options in the system's language");
        stack.clear();
        frame();
        profile = UserProfile();
        chooseLanguage("en");
    }
}

} // namespace
