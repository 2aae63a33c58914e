#include "screens/MenuState.hpp"

#include "core/MusicPlayer.hpp"
#include "core/ResourceHolder.hpp"
#include "core/SoundPlayer.hpp"
#include "core/Translation.hpp"
#include "gui/Button.hpp"
#include "replay/Recording.hpp"
#include "screens/HowToPlayPage.hpp"
#include "screens/LevelsPage.hpp"
#include "screens/NamePage.hpp"
#include "screens/OptionsPage.hpp"
#include "screens/UserFiles.hpp"
#include "screens/UserPage.hpp"
#include "screens/UserProfile.hpp"
#include "screens/VolumeControl.hpp"
#include "world/World.hpp"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Window/Event.hpp>

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <optional>
#include <utility>

namespace {

const sf::Color WelcomeColour(200, 200, 200, 255);
const sf::Color NoticeColour(255, 120, 100, 255);
constexpr unsigned TitleSize = 100;
constexpr unsigned WelcomeSize = 60;
constexpr unsigned NoticeSize = 22;
const std::pair<Textures::Textures, const char*> MenuPictures[] = {
    {Textures::MenuScreen, "Images/MenuScreen.png"},
    {Textures::NormalButton, "Images/NormalButton.png"},
    {Textures::ActiveButton, "Images/ActiveButton.png"},
    {Textures::SelectedButton, "Images/SelectedButton.png"}};

void centreOrigin(sf::Text& text) {
    const sf::FloatRect bounds = text.getLocalBounds();
    text.setOrigin(bounds.width / 2.f, bounds.height / 2.f);
}

// The menu's pictures are needed by the backdrop and the widgets, which are members: loaded
// before any of them is made. Loaded ahead by the loading screen the first time; when the menu
// comes back after play, which released them, here.
const State::Context& withPictures(const State::Context& context) {
    MenuState::loadPictures(*context.textures);
    return context;
}

} // namespace

MenuState::MenuState(StateStack& stack, Context context)
    : State(stack, withPictures(context)), layout(context.window->getSize()),
      background(context.textures->get(Textures::MenuScreen), layout), widgets(context, layout) {
    pages.push_front(buildMainPage());
    pages.front().selectFirst();
    if (!context.profile->loggedIn) {
        openNamePage();
        applyPageChanges();
    }

    context.music->play(MusicTheme::MenuTheme);
    MenuWidgets::loadSounds();

    const sf::Font& titleFont = context.fonts->get(Fonts::MenuTitle);
    title.setFont(titleFont);
    title.setString("Quellix");
    layout.setCharacterSize(title, TitleSize);
    title.setFillColor(sf::Color::Black);
    centreOrigin(title);
    title.setPosition(ScreenLayout::Width / 2.f, 100.f);

    welcome.setFont(titleFont);
    layout.setCharacterSize(welcome, WelcomeSize);
    welcome.setFillColor(WelcomeColour);
    setWelcome(context.profile->name);
    notice.setFont(context.fonts->get(Fonts::MenuButton));
    layout.setCharacterSize(notice, NoticeSize);
    notice.setFillColor(NoticeColour);
}

// Play needs the memory more than a menu that may never come back.
MenuState::~MenuState() {
    for (const auto& [id, file] : MenuPictures)
        getContext().textures->release(id);
}

void MenuState::loadPictures(TextureHolder& textures) {
    for (const auto& [id, file] : MenuPictures)
        textures.load(id, file);
    textures.get(Textures::MenuScreen).setSmooth(true);
}

void MenuState::draw() {
    sf::RenderWindow& window = *getContext().window;
    window.setView(window.getDefaultView());
    if (!background.coversWindow())
        window.clear(sf::Color(0, 0, 0, 255));
    window.draw(background);
    const sf::RenderStates laidOut(layout.getTransform());
    window.draw(title, laidOut);
    // The options page says what to do where the welcome line is.
    if (!options)
        window.draw(welcome, laidOut);
    if (!options && !notice.getString().isEmpty()) {
        // On a dark strip, to be read on any part of the picture.
        const sf::FloatRect bounds = notice.getGlobalBounds();
        sf::RectangleShape strip({bounds.width + 20.f, bounds.height + 10.f});
        strip.setPosition(bounds.left - 10.f, bounds.top - 5.f);
        strip.setFillColor(sf::Color(0, 0, 0, 170));
        window.draw(strip, laidOut);
        window.draw(notice, laidOut);
    }
    if (!pages.empty())
        window.draw(pages.front());
    getContext().volume->draw(window, getContext().fonts->get(Fonts::MenuButton));
}

bool MenuState::update(sf::Time) {
    if (!pages.empty())
        pages.front().update();
    if (options)
        options->update();
    // No world runs to do it.
    soundPlayer().removeStoppedSounds();
    return true;
}

bool MenuState::handleEvent(const sf::Event& event) {
    if (event.type == sf::Event::Resized)
        layOut(sf::Vector2u(event.size.width, event.size.height));
    // The options page takes keys and pad buttons to bind, and its own Escape.
    if (options && options->handleEvent(event)) {
        applyPageChanges();
        return false;
    }
    if (event.type == sf::Event::KeyPressed && event.key.code == sf::Keyboard::Escape)
        requestPop();
    // On the name page the same keys type the name.
    if (!namePage)
        getContext().volume->handleEvent(event);
    if (!pages.empty())
        pages.front().handleEvent(event);
    applyPageChanges();
    return false;
}

GUI::Container MenuState::buildMainPage() {
    pagesLanguage = language();
    GUI::Container page = widgets.page();

    GUI::Button& play = widgets.button(tr("Play"), {ScreenLayout::Width / 2.f, 350.f});
    play.setCallback([this] { this->play(1); });
    GUI::Button& user = widgets.button(tr("User"), {ScreenLayout::Width / 2.f, 430.f});
    user.setCallback([this] { openUserPage(); });
    GUI::Button& exit = widgets.button(tr("Exit"), {ScreenLayout::Width / 2.f, 510.f});
    exit.setCallback([this] { requestPop(); });
    std::vector<GUI::Button*> buttons{&play, &user, &exit};

    // A level that is no longer there (levels removed, a file edited by hand) is not offered.
    const std::int64_t reached = getContext().profile->value2;
    if (reached > 1 && reached <= World::countLevels()) {
        const int level = static_cast<int>(reached);
        GUI::Button& resume = widgets.button(tr("Continue: level %d", {std::to_string(level)}),
                                             {ScreenLayout::Width / 2.f, 590.f});
        resume.setCallback([this, level] { this->play(level); });
        buttons.push_back(&resume);
    }

    // The bottom row of smaller buttons, left to right, after the buttons above for Up and Down.
    // TRANSLATORS: the main page's bottom row of small buttons; about 15 letters fit.
    buttons.push_back(&bottomRowButton(tr("How to play"), 340.f, [this] { openHowToPlay(false); }));
    buttons.push_back(&bottomRowButton(tr("Levels"), 640.f, [this] { openLevelsPage(); }));
    buttons.push_back(&bottomRowButton(tr("Options"), 940.f, [this] { openOptions(); }));

    for (GUI::Button* button : buttons) {
        button->setColors(GUI::Button::Label, MenuWidgets::LabelColours);
        page.pack(button);
    }
    return page;
}

GUI::Button& MenuState::bottomRowButton(const std::string& label, float x,
                                        std::function<void()> action) {
    GUI::Button& button =
        widgets.button(label, {x, MenuWidgets::BottomRow}, MenuWidgets::ButtonSize::Small);
    button.setCallback(std::move(action));
    return button;
}

void MenuState::play(int firstLevel) {
    const UserProfile& profile = *getContext().profile;
    const UserFiles files(getContext().userFolder);
    if (firstLevel == 1 && profile.loggedIn && files.isNewPlayer(profile.name)) {
        files.setNewPlayer(profile.name, false);
        openHowToPlay(true);
        return;
    }
    startGame(firstLevel);
}

void MenuState::startGame(int firstLevel) {
    if (int* next = getContext().firstLevel)
        *next = firstLevel;
    requestPop();
    requestPush(States::Game);
}

void MenuState::openNamePage() {
    namePage =
        std::make_unique<NamePage>(widgets, [this](const std::string& name) { enterName(name); });
    openPage(namePage->getPage());
}

void MenuState::openUserPage() {
    UserPage::Actions actions;
    actions.choose = [this](const std::string& name) { choosePlayer(name); };
    actions.newPlayer = [this] { openNamePage(); };
    actions.back = [this] { closePage(); };
    openPage(UserPage(widgets, UserFiles(getContext().userFolder).list(), actions).getPage());
}

void MenuState::openHowToPlay(bool beforeFirstLevel) {
    if (!howToPlay)
        howToPlay = std::make_unique<HowToPlayPage>(
            widgets, [this] { closePage(); }, [this] { startGame(1); });
    howToPlay->showKeys(getContext().volume->getSettings().controls);
    GUI::Container page = beforeFirstLevel ? howToPlay->beforeFirstLevel() : howToPlay->fromMenu();
    // Made for the window the menu had then, which may have changed since (F11).
    widgets.place(page);
    openPage(page);
}

void MenuState::openOptions() {
    pendingPageChanges.push_back([this] {
        options = std::make_unique<OptionsPage>(widgets, getContext(), [this] {
            pendingPageChanges.push_back([this] {
                pages.pop_front();
                options.reset();
                // A language chosen on the options page shows at once.
                if (language() != pagesLanguage)
                    speakTheNewLanguage();
            });
        });
        pages.push_front(options->getPage());
    });
}

void MenuState::openLevelsPage() {
    const Context context = getContext();
    std::optional<PlayerRuns> runs;
    if (context.profile->loggedIn && UserFiles::isValidName(context.profile->name))
        runs.emplace(context.userFolder, context.profile->name);
    const int reached = static_cast<int>(
        std::clamp<std::int64_t>(context.profile->value2, 1, std::max(1, World::countLevels())));
    const LevelsPage::Actions actions{[this](int level) { play(level); },
                                      [this, runs](int level) {
                                          // Read again: the file may have gone since the page was
                                          // opened.
                                          std::optional<Recording> best =
                                              runs ? runs->best(level) : std::nullopt;
                                          if (!best || !getContext().replay)
                                              return;
                                          *getContext().replay = std::move(*best);
                                          requestPop();
                                          requestPush(States::Game);
                                      },
                                      [this] { closePage(); }};
    openPage(LevelsPage(widgets, runs, reached, actions).getPage());
}

void MenuState::enterName(const std::string& name) {
    const std::string refused = UserFiles::whyRefused(name);
    if (!refused.empty()) {
        // The name page stays, so another name can be typed.
        std::cerr << "\"" << name << "\" cannot be used as a player's name: " << refused << "\n";
        setNotice(tr(refused.c_str()));
        return;
    }
    UserProfile& profile = *getContext().profile;
    const UserFiles files(getContext().userFolder);
    std::string problem;
    std::string remark;
    if (files.hasUserFile(name, problem)) {
        profile.load(files.userFile(name));
        files.keepListed(name);
    } else if (!problem.empty()) {
        // Registering the name again would replace the player that file holds. The file and why it
        // cannot be read were named on the error stream when the game looked for its player at
        // start.
        setNotice(tr("%s's file cannot be read: it is left as it is", {name}));
        return;
    } else {
        const UserFiles::Registration registration = files.registerUser(name, profile);
        if (registration == UserFiles::Registration::NotSaved)
            remark = name.empty() ? tr("This player cannot be remembered on this computer")
                                  : tr("%s cannot be remembered on this computer", {name});
        else if (registration == UserFiles::Registration::Registered)
            files.setNewPlayer(name, true);
    }
    setNotice(remark);
    becomeCurrent(name);
}

void MenuState::choosePlayer(const std::string& name) {
    UserProfile& profile = *getContext().profile;
    const UserFiles files(getContext().userFolder);
    std::string problem;
    if (!files.hasUserFile(name, problem)) {
        // Why the file cannot be read is on the error stream.
        setNotice(problem.empty()
                      ? tr("%1$s has no file any more: %1$s cannot be chosen", {name})
                      : tr("%1$s's file cannot be read: %1$s cannot be chosen", {name}));
        return;
    }
    profile.load(files.userFile(name));
    files.moveFirst(name);
    setNotice("");
    becomeCurrent(name);
}

void MenuState::becomeCurrent(const std::string& name) {
    UserProfile& profile = *getContext().profile;
    profile.name = name;
    profile.loggedIn = true;
    // The main page was built for the player before, or for none.
    rebuildMainPage();
    // Back to the main page, from the name page and the user page under it.
    for (std::size_t page = 1; page < pages.size(); ++page)
        closePage();
}

void MenuState::rebuildMainPage() {
    pages.back() = buildMainPage();
    pages.back().selectFirst();
    setWelcome(getContext().profile->name);
}

void MenuState::speakTheNewLanguage() {
    rebuildMainPage();
    setNotice("");
    // Its words were those of the language before; nothing shows it now.
    howToPlay.reset();
}

const std::string& MenuState::language() const {
    return getContext().volume->getSettings().language;
}

void MenuState::setWelcome(const std::string& name) {
    // TRANSLATORS: the player's name follows.
    welcome.setString(Translation::shown(tr("Welcome ") + name));
    centreOrigin(welcome);
    welcome.setPosition(ScreenLayout::Width / 2.f, 250.f);
}

void MenuState::setNotice(const std::string& text) {
    notice.setString(Translation::shown(text));
    centreOrigin(notice);
    notice.setPosition(ScreenLayout::Width / 2.f, 306.f);
}

void MenuState::openPage(const GUI::Container& page) {
    pendingPageChanges.push_back([this, page] { pages.push_front(page); });
}

void MenuState::closePage() {
    pendingPageChanges.push_back([this] {
        if (pages.size() > 1)
            pages.pop_front();
        if (pages.size() == 1)
            namePage.reset();
    });
}

void MenuState::applyPageChanges() {
    // A change may ask for more (a page that opens another as it is built); those come next.
    while (!pendingPageChanges.empty()) {
        const std::vector<std::function<void()>> changes = std::move(pendingPageChanges);
        pendingPageChanges.clear();
        for (const auto& change : changes)
            change();
    }
}

// The pages keep their widgets and stay where they are in the layout, which is fitted to the new
// window.
void MenuState::layOut(sf::Vector2u windowSize) {
    layout = ScreenLayout(windowSize);
    // The backdrop may have been kept at the old window's size: it is read again for the new one
    // (a picture that could not be read was reported once, and is not read again).
    TextureHolder& textures = *getContext().textures;
    if (textures.get(Textures::MenuScreen).getSize().x > 0) {
        textures.release(Textures::MenuScreen);
        loadPictures(textures);
    }
    background = Backdrop(textures.get(Textures::MenuScreen), layout);
    for (GUI::Container& page : pages)
        widgets.place(page);
    widgets.rescale();
    layout.setCharacterSize(title, TitleSize);
    centreOrigin(title);
    layout.setCharacterSize(welcome, WelcomeSize);
    centreOrigin(welcome);
    layout.setCharacterSize(notice, NoticeSize);
    centreOrigin(notice);
}
