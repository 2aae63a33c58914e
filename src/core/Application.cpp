#include "core/Application.hpp"

#include "core/GamePaths.hpp"

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
#include <locale>

namespace {
// Pictures, and the memory they are decoded and drawn in, are large blocks. By default the C
// library raises the size it maps such blocks from to the largest block freed so far, after which
// freed pictures stay in the heap, mostly unused and still resident; a fixed threshold keeps large
// blocks mapped on their own, so a released picture gives its memory back at once.
const int OwnMappingFrom = 1024 * 1024;
} // namespace

Application::Application(const CommandLine::Options& options, const GamePaths& paths)
    : window(), textures(), videoMode(sf::VideoMode::getDesktopMode()), music(), fonts(), profile(),
      icon(),
      volume(options.demo ? std::filesystem::path() : paths.saveRoot() / Settings::FileName),
      options(options),
      stateStack(State::Context{&window, &textures, &music, &fonts, &profile, paths.userFolder(),
                                &volume, &firstLevel, &this->options, &exitStatus}) {
    mallopt(M_MMAP_THRESHOLD, OwnMappingFrom);
    // The title picture is read while the window opens: only putting it on the graphics card
    // needs the window. A picture that cannot be read is reported by the reading.
    std::future<sf::Image> titlePicture;
    if (!options.demo)
        titlePicture = std::async(std::launch::async, [] {
            sf::Image picture;
            picture.loadFromFile(TitleState::PictureFile);
            return picture;
        });
    const sf::VideoMode desktop = videoMode;
    if (options.windowed)
        videoMode = windowedMode(desktop);
    window.create(videoMode, sf::String("Gravelmoth", std::locale()),
                  options.windowed ? sf::Style::Titlebar | sf::Style::Close : sf::Style::Fullscreen,
                  sf::ContextSettings(0, 0, 0, 2, 0));
    if (options.windowed)
        window.setPosition(sf::Vector2i(static_cast<int>(desktop.width - videoMode.width) / 2,
                                        static_cast<int>(desktop.height - videoMode.height) / 2));
    if (titlePicture.valid()) {
        const sf::Image picture = titlePicture.get();
        auto texture = std::make_unique<sf::Texture>();
        if (picture.getSize().x > 0 && picture.getSize().y > 0)
            texture->loadFromImage(picture);
        textures.insert(Textures::TitleScreen, std::move(texture));
    }
    registerStates();
    stateStack.push(options.demo ? States::Game : States::Title);

    // Without a usable 32x32 picture the window keeps the desktop's default icon.
    const char* iconFile = "Images/Icon.png";
    if (icon.loadFromFile(iconFile)) {
        if (icon.getSize() == sf::Vector2u(32, 32))
            window.setIcon(32, 32, icon.getPixelsPtr());
        else
            std::cerr << iconFile << ": the icon must be 32x32 pixels, not " << icon.getSize().x
                      << "x" << icon.getSize().y << "; the window keeps its default icon\n";
    }
    // With fixed steps the game paces its own drawing, and an update must never wait for the
    // screen's refresh.
    frameLimit.setVerticalSync(window, !options.fixedStep);
}

sf::VideoMode Application::windowedMode(const sf::VideoMode& desktop) {
    const unsigned width = std::min({1280u, desktop.width, desktop.height * 16 / 9});
    return sf::VideoMode(width, width * 9 / 16, desktop.bitsPerPixel);
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
        if (!options.fixedStep)
            frameLimit.waitForNextFrame();
    }
    return exitStatus;
}

void Application::processEvents() {
    sf::Event event;
    while (window.pollEvent(event)) {
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
        if (const auto key = gamepad.keyFor(event, buttons)) {
            sf::Event pressed;
            pressed.type = sf::Event::KeyPressed;
            pressed.key = {*key, false, false, false, false};
            stateStack.handleEvent(pressed);
        }
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
