#include "screens/LoadingState.hpp"

#include "core/Pictures.hpp"
#include "core/ResourceHolder.hpp"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Window/Event.hpp>

LoadingState::LoadingState(StateStack& stack, Context context)
    : State(stack, context), background(), task(context), window(context.window) {
    // Loaded here, before the task starts, because the main thread may not touch the holder again
    // until the task has finished.
    context.textures->load(Textures::LoadingScreen, "Images/LoadingScreen.png");
    sf::Texture& texture = context.textures->get(Textures::LoadingScreen);
    texture.setSmooth(true);
    Pictures::keepAtDrawnSize(texture, window->getSize());
    background.setTexture(texture);
    const sf::FloatRect bounds = background.getLocalBounds();
    background.setOrigin(bounds.width / 2.f, bounds.height / 2.f);
    layOut(window->getSize());

    task.execute();
}

void LoadingState::layOut(sf::Vector2u windowSize) {
    const sf::FloatRect bounds = background.getLocalBounds();
    const sf::Vector2f size(windowSize);
    // A picture that could not be loaded has no size to stretch; the window stays black.
    if (bounds.width > 0.f && bounds.height > 0.f)
        background.setScale(size.x / bounds.width, size.y / bounds.height);
    background.setPosition(size.x / 2.f, size.y / 2.f);
}

LoadingState::~LoadingState() {
    task.wait();
    getContext().textures->release(Textures::LoadingScreen);
}

void LoadingState::draw() {
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
        layOut(sf::Vector2u(event.size.width, event.size.height));
    return true;
}
