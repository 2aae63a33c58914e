#include "screens/MenuState.hpp"

#include "core/MusicPlayer.hpp"
#include "core/ResourceHolder.hpp"
#include "core/Translation.hpp"
#include "gui/Button.hpp"
#include "gui/TextBox.hpp"
#include "replay/Recording.hpp"
#include "screens/LevelsPage.hpp"
#include "screens/OptionsPage.hpp"
#include "screens/UserFiles.hpp"
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
// The name page's box, centred on the screen.
const sf::Vector2f NameBoxSize(500.f, 32.f);
const sf::Vector2f NameBoxCorner((ScreenLayout::Width - NameBoxSize.x) / 2.f, 200.f);

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
    if (!context.profile->loggedIn)
        buildNamePage();

    context.music->play(MusicTheme::MenuTheme);

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
    window.clear(sf::Color(0, 0, 0, 255));
    window.draw(background);
    sf::RenderStates laidOut(layout.getTransform());
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
    if (getContext().profile->loggedIn)
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
    user.setCallback([this] { pendingPageChanges.push_back(PageChange::OpenUserPage); });
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

    // The bottom row, left to right, after the buttons above for Up and Down.
    // TRANSLATORS: the bottom row's small buttons; about 15 letters fit.
    buttons.push_back(&bottomRowButton(
        tr("Levels"), 640.f, [this] { pendingPageChanges.push_back(PageChange::OpenLevelsPage); }));
    buttons.push_back(&bottomRowButton(
        tr("Options"), 940.f, [this] { pendingPageChanges.push_back(PageChange::OpenOptions); }));

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
    if (int* next = getContext().firstLevel)
        *next = firstLevel;
    requestPop();
    requestPush(States::Game);
}

void MenuState::buildNamePage() {
    const Context context = getContext();
    typedName = std::make_shared<std::string>();
    GUI::Container page = widgets.page();
    auto box = std::make_unique<GUI::TextBox>(NameBoxCorner, NameBoxSize, typedName);
    box->setPixelsPerUnit(layout.getScale());
    box->setText(tr("Enter Your Name"));
    box->setFont(context.fonts->get(Fonts::MenuButton));
    box->setBoxColors(sf::Color::White, sf::Color::Black);
    box->setTextColor(sf::Color::Red);
    box->setMaxLength(UserFiles::MaxNameLength);
    box->setCallback([this] { enterName(); });
    box->setTypingWithoutPress(true);
    page.pack(&widgets.keep(std::move(box)));
    pages.push_front(page);
}

void MenuState::buildUserPage() {
    GUI::Container page = widgets.page();
    GUI::Button& back = widgets.button(tr("Back"), {ScreenLayout::Width / 2.f, 0.f});
    back.setCallback([this] { pendingPageChanges.push_back(PageChange::Close); });
    // "Back" goes one row below the last name and must stay on the screen, or the page could not
    // be left: only the newest names that fit are shown.
    const float lowest = ScreenLayout::Height - back.getBounds().height / 2.f;
    float y = 400.f;
    for (const std::string& name : UserFiles(getContext().userFolder).list()) {
        if (name.empty())
            continue;
        if (y + 100.f > lowest)
            break;
        page.pack(&widgets.button(name, {ScreenLayout::Width / 2.f, y}));
        y += 50.f;
    }
    back.setPosition(back.getPosition().x, y + 50.f);
    page.pack(&back);
    page.selectFirst();
    pages.push_front(page);
}

void MenuState::buildLevelsPage() {
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
                                      [this] { pendingPageChanges.push_back(PageChange::Close); }};
    pages.push_front(LevelsPage(widgets, runs, reached, actions).getPage());
}

void MenuState::enterName() {
    const std::string name = *typedName;
    if (!UserFiles::isValidName(name)) {
        // The name page stays, so another name can be typed.
        std::cerr << "\"" << name << "\" cannot be used as a player's name\n";
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
    } else if (files.registerUser(name, profile) == UserFiles::Registration::NotSaved) {
        remark = name.empty() ? tr("This player cannot be remembered on this computer")
                              : tr("%s cannot be remembered on this computer", {name});
    }
    setNotice(remark);
    profile.name = name;
    profile.loggedIn = true;
    // The main page under the name page was built before the player's progress was known.
    rebuildMainPage();
    pendingPageChanges.push_back(PageChange::Close);
}

void MenuState::rebuildMainPage() {
    pages.back() = buildMainPage();
    pages.back().selectFirst();
    setWelcome(getContext().profile->name);
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

void MenuState::applyPageChanges() {
    for (const PageChange change : pendingPageChanges) {
        if (change == PageChange::OpenUserPage) {
            buildUserPage();
        } else if (change == PageChange::OpenLevelsPage) {
            buildLevelsPage();
        } else if (change == PageChange::OpenOptions) {
            options = std::make_unique<OptionsPage>(widgets, getContext(), [this] {
                pendingPageChanges.push_back(PageChange::CloseOptions);
            });
            pages.push_front(options->getPage());
        } else if (!pages.empty()) {
            pages.pop_front();
            if (change == PageChange::CloseOptions)
                options.reset();
            // A language chosen on the options page shows at once.
            if (change == PageChange::CloseOptions && language() != pagesLanguage)
                rebuildMainPage();
        }
    }
    pendingPageChanges.clear();
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
