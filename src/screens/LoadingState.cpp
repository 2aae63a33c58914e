#include "screens/LoadingState.hpp"

#include "core/ResourceHolder.hpp"
#include "screens/ScreenLayout.hpp"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Window/Event.hpp>

LoadingState::LoadingState(StateStack& stack, Context context)
    : State(stack, context), task(context), window(context.window) {
    // Loaded here, before the task starts, because the main thread may not touch the holder again
    // until the task has finished. A picture that could not be loaded leaves the window black.
    context.textures->load(Textures::LoadingScreen, "Images/LoadingScreen.png");
    picture = &context.textures->get(Textures::LoadingScreen);
    picture->setSmooth(true);
    background = Backdrop(*picture, ScreenLayout(window->getSize()));

    task.execute();
}

LoadingState::~LoadingState() {
    task.wait();
    getContext().textures->release(Textures::LoadingScreen);
}

void LoadingState::draw() {
    if (!background.coversWindow())
        window->clear(sf::Color(0, 0, 0, 255));
    window->draw(background);
}

bool LoadingState::update(sf::Time) {
    if (task.isFinished()) {
        task.wait();
        requestPop();
        requestPush(States::Menu);
    }
    return true;
}

bool LoadingState::handleEvent(const sf::Event& event) {
    if (event.type == sf::Event::Resized)
        background =
            Backdrop(*picture, ScreenLayout(sf::Vector2u(event.size.width, event.size.height)));
    return true;
}
