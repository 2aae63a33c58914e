#pragma once

#include "core/State.hpp"
#include "screens/ParallelTask.hpp"

#include <SFML/Graphics/Sprite.hpp>

// Shows the loading picture over the whole window while the background task loads the menu, then
// hands over to the menu. It waits for the task's thread before it switches and before it dies,
// so closing the window during loading ends cleanly; the loading picture goes with the screen.
class LoadingState : public State {
public:
    LoadingState(StateStack& stack, Context context);
    ~LoadingState() override;

    void draw() override;
    bool update(sf::Time dt) override;
    bool handleEvent(const sf::Event& event) override;

    const sf::Sprite& getBackground() const { return background; }

private:
    // Stretched over a window of that size.
    void layOut(sf::Vector2u windowSize);

    sf::Sprite background;
    ParallelTask task;
    sf::RenderWindow* window;
};
