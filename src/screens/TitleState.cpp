#include "screens/TitleState.hpp"

#include "core/Pictures.hpp"
#include "core/ResourceHolder.hpp"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Window/Event.hpp>

#include <cmath>

TitleState::TitleState(StateStack& stack, Context context)
    : State(stack, context), layout(context.window->getSize()), background(),
      fader(sf::Vector2f(0.f, 0.f)) {
    context.textures->load(Textures::TitleScreen, PictureFile);
    sf::Texture& texture = context.textures->get(Textures::TitleScreen);
    texture.setSmooth(true);
    background.setTexture(texture);

    // At its own size in the middle of the 1280 x 720 layout, which is scaled to the window.
    const sf::FloatRect bounds = background.getLocalBounds();
    background.setOrigin(bounds.width / 2.f, bounds.height / 2.f);
    background.setPosition(ScreenLayout::Width / 2.f, ScreenLayout::Height / 2.f);
    // Drawn unscaled on whole pixels: one texel a pixel.
    const sf::Vector2f corner =
        layout.getTransform().transformPoint(background.getPosition() - background.getOrigin());
    if (layout.getScale() == 1.f && corner.x == std::round(corner.x) &&
        corner.y == std::round(corner.y))
        Pictures::keepAtDrawnSize(texture, texture.getSize());

    fader.setFillColor(sf::Color(0, 0, 0, 0));
    fader.setSize(sf::Vector2f(context.window->getSize()));
    fader.setPosition(0.f, 0.f);
}

// The picture stays in the middle of the layout; the overlay covers the new window.
void TitleState::layOut(sf::Vector2u windowSize) {
    layout = ScreenLayout(windowSize);
    fader.setSize(sf::Vector2f(windowSize));
}

// No later screen shows the title picture.
TitleState::~TitleState() {
    getContext().textures->release(Textures::TitleScreen);
}

void TitleState::draw() {
    sf::RenderWindow& window = *getContext().window;
    window.clear(sf::Color(190, 190, 190, 0));
    window.draw(background, sf::RenderStates(layout.getTransform()));
    // A fully transparent overlay changes no pixel (the very first frame has one).
    if (fader.getFillColor().a != 0)
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
    if (event.type == sf::Event::Resized)
        layOut(sf::Vector2u(event.size.width, event.size.height));
    else if (event.type == sf::Event::KeyPressed || event.type == sf::Event::MouseButtonPressed)
        leave();
    return true;
}

void TitleState::leave() {
    requestPop();
    requestPush(States::Loading);
}
