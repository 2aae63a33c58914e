// How the window is paced: vertical sync where the display provides it, else at most 60 frames a
// second, so a still screen costs little; fixed steps pace themselves.
#include "core/MusicPlayer.hpp"
#include "core/WindowControl.hpp"
#include "screens/VolumeControl.hpp"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/System/Clock.hpp>
#include <gtest/gtest.h>

namespace {

TEST(WindowControl, SixtyFramesASecondUnlessVerticalSyncPacesTheLoopOrStepsAreFixed) {
    struct Row {
        bool wanted, available, fixedStep;
        unsigned limit;
    };
    for (const Row& row :
         {Row{true, true, false, 0}, Row{true, false, false, 60}, Row{false, true, false, 60},
          Row{false, false, false, 60}, Row{false, false, true, 0}, Row{true, false, true, 0}})
        EXPECT_EQ(WindowControl::frameLimit(row.wanted, row.available, row.fixedStep), row.limit)
            << row.wanted << row.available << row.fixedStep;
}

// The test display (Xvfb) has no vertical sync: asked for it, the window still draws at most 60
// frames a second. Half a second of frames that draw next to nothing, on the real clock.
TEST(WindowControl, WithoutVerticalSyncOnTheDisplayAStillWindowDrawsSixtyFramesASecond) {
    sf::RenderWindow window(sf::VideoMode(64, 64), "pacing test", sf::Style::None);
    window.setVisible(false);
    MusicPlayer music;
    VolumeControl settings({}, music);
    const sf::Image icon;
    WindowControl control(window, settings, icon);
    control.setVerticalSync(true);
    sf::Clock clock;
    int frames = 0;
    while (clock.getElapsedTime() < sf::milliseconds(500)) {
        window.clear();
        window.display();
        ++frames;
    }
    EXPECT_LE(frames, 31);
    EXPECT_GE(frames, 5) << "and frames do come";
}

} // namespace
