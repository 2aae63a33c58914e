#include "screens/TitleState.hpp"

#include "core/ResourceHolder.hpp"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Window/Event.hpp>

TitleState::TitleState(StateStack& stack, Context context)
    : State(stack, context), background(), fader(sf::Vector2f(0.f, 0.f)) {
    context.textures->load(Textures::TitleScreen, "Images/TitleScreen.png");
    sf::Texture& texture = context.textures->get(Textures::TitleScreen);
    texture.setSmooth(true);
    background.setTexture(texture);

    const sf::FloatRect bounds = background.getLocalBounds();
    background.setOrigin(bounds.width / 2.f, bounds.height / 2.f);
    const sf::Vector2f windowSize(static_cast<float>(context.window->getSize().x),
                                  static_cast<float>(context.window->getSize().y));
    background.setPosition(windowSize.x / 2.f, windowSize.y / 2.f);

    fader.setFillColor(sf::Color(0, 0, 0, 0));
    fader.setSize(windowSize);
    fader.setPosition(0.f, 0.f);
}

TitleState::~TitleState() = default;

void TitleState::draw() {
    sf::RenderWindow& window = *getContext().window;
    window.clear(sf::Color(190, 190, 190, 0));
    window.draw(background);
    window.draw(fader);
}

bool TitleState::update(sf::Time) {
    fader.setFillColor(sf::Color(0, 0, 0, static_cast<sf::Uint8>(alpha & 0xff)));
    alpha = static_cast<int>(static_cast<float>(alpha) + step);
    if (alpha <= 50)
        step = 2.f;
    if (step > 0.f && alpha >= 255)
        leave();
    return true;
}

bool TitleState::handleEvent(const sf::Event& event) {
    if (event.type == sf::Event::KeyPressed || event.type == sf::Event::MouseButtonPressed)
        leave();
    return true;
}

void TitleState::leave() {
    requestPop();
    requestPush(States::Loading);
}
