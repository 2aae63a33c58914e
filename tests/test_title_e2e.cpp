// The real program under X: it opens its window, shows the title picture, and leaves the title
// screen on a key press or by itself when the fade is over.
#include "TestSupport.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using namespace testsupport;

// The title picture is drawn centred on a light grey clear colour: while it shows, the screen
// holds the picture's own colours in the middle and is far from a uniform black.
bool showsTitle(const sf::Image& shot) {
    const auto size = shot.getSize();
    const sf::Color centre = shot.getPixel(size.x / 2, size.y / 2);
    const int brightness = centre.r + centre.g + centre.b;
    return nonUniformShare(shot) > 0.2 && brightness > 60;
}

// Samples the screen while the game is paused between frames, until the title is seen.
bool catchTitle(GameProcess& game, const fs::path& artifact) {
    for (int attempt = 0; attempt < 400 && game.isRunning(); ++attempt) {
        game.pause();
        const sf::Image shot = screenshot();
        if (showsTitle(shot)) {
            fs::create_directories(artifact.parent_path());
            shot.saveToFile(artifact.string());
            return true;
        }
        game.resume();
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
    }
    return false;
}

const fs::path artifacts = fs::path(QUELLIX_BINARY_DIR) / "test-artifacts" / "title";

TEST(TitleEndToEnd, ShowsTheTitlePictureAndAKeyEndsIt) {
    TempDir dir;
    copyDataDir(dir.path());
    GameProcess game(dir.path());
    ASSERT_TRUE(game.waitForWindow(20.0)) << game.errors();
    ASSERT_TRUE(catchTitle(game, artifacts / "title.png")) << "the title picture never showed";
    xdotool("key space");
    game.resume();
    // Whatever follows the title, Escape leaves it, so the game ends.
    for (int i = 0; i < 50 && game.waitForExit(0.2) < 0; ++i)
        xdotool("key Escape");
    EXPECT_EQ(game.waitForExit(10.0), 0) << game.errors();
}

TEST(TitleEndToEnd, WithoutInputTheTitleEndsByItself) {
    TempDir dir;
    copyDataDir(dir.path());
    GameProcess game(dir.path());
    ASSERT_TRUE(game.waitForWindow(20.0)) << game.errors();
    EXPECT_EQ(game.waitForExit(20.0), 0) << game.errors();
}

} // namespace
