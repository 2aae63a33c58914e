#pragma once

#include "gui/Container.hpp"

#include <SFML/Graphics/Texture.hpp>

#include <functional>

struct Bindings;
class MenuWidgets;
namespace GUI {
class Label;
}

// "How to play": what a newcomer needs to know, each in a line or two beside a small picture made
// of the game's own pictures (the tank, the wolf, blocks and power-ups as play shows them): drive
// and jump, stun a wolf from below, scrap a stunned wolf, power-ups fill the counters, a spawner
// takes a red, a yellow and a green unit, what a key place looks like, the tank wraps around the
// sides, and the keys for pause, sound and leaving. It is drawn on a card over the whole menu.
//
// The page comes in two forms: from the menu, its button goes back; opened by itself before a new
// player's first level, its button plays. The pictures are read when the page is made and kept as
// long as it lives, which must be as long as either form is shown.
class HowToPlayPage {
public:
    HowToPlayPage(MenuWidgets& widgets, std::function<void()> back, std::function<void()> play);

    // The keys the player has bound, in the lines that name them.
    void showKeys(const Bindings& keys);

    const GUI::Container& fromMenu() const { return withBack; }
    const GUI::Container& beforeFirstLevel() const { return withPlay; }

private:
    void addTips(MenuWidgets& widgets);
    void addPictures(MenuWidgets& widgets);

    sf::Texture tank;
    sf::Texture wolf;
    sf::Texture tiles;
    sf::Texture powerUps;
    GUI::Label* driveKeys = nullptr;
    GUI::Label* ownKeys = nullptr;
    // What both forms show, then each form's button.
    GUI::Container content;
    GUI::Container withBack;
    GUI::Container withPlay;
};
