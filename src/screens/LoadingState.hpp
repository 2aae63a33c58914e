#pragma once

#include "core/State.hpp"
#include "screens/Backdrop.hpp"
#include "screens/ParallelTask.hpp"

// Shows the loading picture, a backdrop scaled with the 1280 x 720 layout to the window, while the
// background task loads the menu, then hands over to the menu. It waits for the task's thread
// before it switches and before it dies, so closing the window during loading ends cleanly; the
// loading picture goes with the screen.
class LoadingState : public State {
public:
    LoadingState(StateStack& stack, Context context);
    ~LoadingState() override;

    void draw() override;
    bool update(sf::Time dt) override;
    bool handleEvent(const sf::Event& event) override;

    const Backdrop& getBackground() const { return background; }

private:
    // Kept here: the holder is the task's until it has finished.
    sf::Texture* picture = nullptr;
    Backdrop background;
    ParallelTask task;
    sf::RenderWindow* window;
};
