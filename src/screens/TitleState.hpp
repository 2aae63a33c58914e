#pragma once

#include "core/State.hpp"
#include "screens/ScreenLayout.hpp"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Sprite.hpp>

// The first screen: the title picture under a black overlay that lightens, then darkens again,
// and hands over to the loading screen. Any key or mouse button skips it. The picture sits in the
// middle of the 1280 x 720 layout, scaled with it to the window; the overlay covers the whole
// window. The picture is released with the screen.
class TitleState : public State {
public:
    static constexpr const char* PictureFile = "Images/TitleScreen.png";

    TitleState(StateStack& stack, Context context);
    ~TitleState() override;

    void draw() override;
    // The fade advances once per update, whatever the frame time.
    bool update(sf::Time dt) override;
    bool handleEvent(const sf::Event& event) override;

    int getAlpha() const { return alpha; }
    const sf::RectangleShape& getFader() const { return fader; }

private:
    // For a window of a new size.
    void layOut(sf::Vector2u windowSize);
    void leave();

    ScreenLayout layout;
    sf::Sprite background;
    sf::RectangleShape fader;
    int alpha = 255;
    float step = -1.f;
};
