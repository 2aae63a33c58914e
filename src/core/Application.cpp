#include "core/Application.hpp"

#include "core/GamePaths.hpp"
#include "core/Translation.hpp"

#include "screens/GameState.hpp"
#include "screens/LoadingState.hpp"
#include "screens/MenuState.hpp"
#include "screens/TitleState.hpp"
#include "world/Physics.hpp"

#include <SFML/Window/Event.hpp>

#include <malloc.h>

#include <algorithm>
#include <future>
#include <iostream>

namespace {
// Pictures, and the memory they are decoded and drawn in, are large blocks. By default the C
// library raises the size it maps such blocks from to the largest block freed so far, after which
// freed pictures stay in the heap, mostly unused and still resident; a fixed threshold keeps large
// blocks mapped on their own, so a released picture gives its memory back at once.
const int OwnMappingFrom = 1024 * 1024;

// Before anything is allocated on another thread: the reading's blocks are the first large ones.
// A picture that cannot be read is reported by the reading.
std::future<sf::Image> readTitlePicture(bool wanted) {
    mallopt(M_MMAP_THRESHOLD, OwnMappingFrom);
    if (!wanted)
        return {};
    return std::async(std::launch::async, [] {
        sf::Image picture;
        picture.loadFromFile(TitleState::PictureFile);
        return picture;
    });
}
} // namespace

Application::Application(const CommandLine::Options& options, const GamePaths& paths,
                         Recording replay)
    : titlePicture(readTitlePicture(!options.demo && replay.empty())), window(), textures(),
      music(), fonts(), profile(), icon(),
      volume(options.demo || !replay.empty() ? std::filesystem::path()
                                             : paths.saveRoot() / Settings::FileName,
             music),
      windowControl(window, volume, icon), options(options), replay(std::move(replay)),
      stateStack(State::Context{&window, &textures, &music, &fonts, &profile, paths.userFolder(),
                                &volume, &firstLevel, &this->options, &exitStatus, &windowControl,
                                &gamepad, &this->replay}) {
    const bool straightToPlay = options.demo || !this->replay.empty();
    Translation::useCatalogues(paths.catalogueFolder());
    const char* iconFile = "Images/Icon.png";
    if (icon.loadFromFile(iconFile) && icon.getSize() != sf::Vector2u(32, 32))
        std::cerr << iconFile << ": the icon must be 32x32 pixels, not " << icon.getSize().x << "x"
                  << icon.getSize().y << "; the window keeps its default icon\n";
    // A replay plays in a window of the shape it was recorded in.
    if (this->replay.empty())
        windowControl.open(options.windowed, options.fixedStep);
    else
        windowControl.open(true, options.fixedStep, this->replay.layout);
    if (titlePicture.valid()) {
        const sf::Image picture = titlePicture.get();
        auto texture = std::make_unique<sf::Texture>();
        if (picture.getSize().x > 0 && picture.getSize().y > 0)
            texture->loadFromImage(picture);
        textures.insert(Textures::TitleScreen, std::move(texture));
    }
    registerStates();
    stateStack.push(straightToPlay ? States::Game : States::Title);
}

int Application::run() {
    sf::Clock clock;
    sf::Clock sinceDrawn;
    sf::Time drawing;
    while (window.isOpen()) {
        const sf::Time elapsedTime = clock.restart();
        processEvents();
        update(options.fixedStep ? Physics::Step : elapsedTime);
        if (stateStack.isEmpty())
            window.close();
        // At fixed steps a picture is drawn at most every 1/60 s, and where drawing is slow (a
        // large window without a graphics card) the updates still get two thirds of the time.
        const sf::Time sinceLast = sinceDrawn.getElapsedTime();
        if (!options.fixedStep || (sinceLast >= Physics::Step && sinceLast >= drawing * 3.f)) {
            sinceDrawn.restart();
            render();
            drawing = sinceDrawn.getElapsedTime();
        }
    }
    return exitStatus;
}

void Application::processEvents() {
    const Bindings& controls = volume.getSettings().controls;
    sf::Event event;
    while (window.pollEvent(event)) {
        // Making a new window (F11) reports a lost focus that has come back by the time it is
        // read; only a focus that is really gone reaches the screens, which pause play for it.
        if (event.type == sf::Event::LostFocus && window.hasFocus())
            continue;
        // F11 switches between fullscreen and a window in every screen, and is no key of theirs.
        if (event.type == sf::Event::KeyPressed && event.key.code == Bindings::SwitchWindow) {
            windowControl.setFullscreen(!windowControl.isFullscreen());
            continue;
        }
        stateStack.handleEvent(event);
        if (event.type == sf::Event::Closed)
            window.close();
        // A pad's buttons and pushes reach the screens as the keys they stand for, and like keys
        // only while the window has the focus. Both kinds of pad event start with the pad's id.
        const bool padEvent = event.type == sf::Event::JoystickButtonPressed ||
                              event.type == sf::Event::JoystickMoved;
        if (!padEvent || !window.hasFocus())
            continue;
        const unsigned buttons = sf::Joystick::getButtonCount(event.joystickButton.joystickId);
        if (const auto key = gamepad.keyFor(event, buttons, controls)) {
            sf::Event pressed;
            pressed.type = sf::Event::KeyPressed;
            pressed.key = {*key, false, false, false, false};
            stateStack.handleEvent(pressed);
        }
    }
    // Between the events of two frames, so no screen is in the middle of handling one.
    if (windowControl.applyChange()) {
        sf::Event resized;
        resized.type = sf::Event::Resized;
        resized.size = {window.getSize().x, window.getSize().y};
        stateStack.handleEvent(resized);
    }
}

void Application::update(sf::Time elapsedTime) {
    volume.update(elapsedTime);
    stateStack.update(elapsedTime);
}

void Application::render() {
    stateStack.draw();
    window.display();
}

void Application::registerStates() {
    stateStack.registerState<TitleState>(States::Title);
    stateStack.registerState<MenuState>(States::Menu);
    stateStack.registerState<GameState>(States::Game);
    stateStack.registerState<LoadingState>(States::Loading);
}
