// The real program under X: it opens its window, shows the title picture, and leaves the title
// screen on a key press or by itself when the fade is over.
#include "TestSupport.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

using namespace testsupport;

int centreBrightness(const sf::Image& shot);

// The title picture is drawn centred on a light grey clear colour: while it shows, the screen
// holds the picture's own colours in the middle and is far from a uniform black.
bool showsTitle(const sf::Image& shot) {
    return nonUniformShare(shot) > 0.2 && centreBrightness(shot) > 60;
}

// Share of pixels that differ clearly between two pictures of the same size.
double difference(const sf::Image& a, const sf::Image& b) {
    const auto size = a.getSize();
    if (size != b.getSize() || size.x == 0)
        return 1.0;
    std::size_t differing = 0;
    for (unsigned y = 0; y < size.y; y += 2)
        for (unsigned x = 0; x < size.x; x += 2) {
            const sf::Color p = a.getPixel(x, y), q = b.getPixel(x, y);
            if (std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b) > 60)
                ++differing;
        }
    return static_cast<double>(differing) / ((size.x / 2) * (size.y / 2));
}

int centreBrightness(const sf::Image& shot) {
    const sf::Color centre = shot.getPixel(shot.getSize().x / 2, shot.getSize().y / 2);
    return centre.r + centre.g + centre.b;
}

// Samples the screen while the game is paused between frames, until the title is seen; keeps
// sampling a little longer for its brightest moment, which is what the saved picture shows.
bool catchTitle(GameProcess& game, const fs::path& artifact, sf::Image* seen = nullptr) {
    sf::Image best;
    int bestBrightness = -1;
    for (int attempt = 0; attempt < 400 && game.isRunning(); ++attempt) {
        game.pause();
        const sf::Image shot = screenshot();
        game.resume();
        if (showsTitle(shot) && centreBrightness(shot) > bestBrightness) {
            best = shot;
            bestBrightness = centreBrightness(shot);
        } else if (bestBrightness >= 0 && !showsTitle(shot)) {
            break; // fading out
        }
        if (bestBrightness > 200)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
    }
    if (bestBrightness < 0)
        return false;
    game.pause();
    fs::create_directories(artifact.parent_path());
    best.saveToFile(artifact.string());
    if (seen)
        *seen = best;
    return true;
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

// Without input the fade runs out and the next screens follow: the title gives way to the menu,
// whose own picture fills the window, and Escape there ends the game.
TEST(TitleEndToEnd, WithoutInputTheTitleEndsByItself) {
    TempDir dir;
    copyDataDir(dir.path());
    GameProcess game(dir.path());
    ASSERT_TRUE(game.waitForWindow(20.0)) << game.errors();
    sf::Image title;
    ASSERT_TRUE(catchTitle(game, artifacts / "fading.png", &title));
    game.resume();
    // The fade changes the picture every frame; the next screen is a still picture of its own.
    bool movedOn = false;
    sf::Image previous = screenshot();
    for (int i = 0; i < 60 && !movedOn && game.isRunning(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const sf::Image shot = screenshot();
        movedOn = difference(shot, previous) < 0.01 && difference(shot, title) > 0.5 &&
                  nonUniformShare(shot) > 0.5;
        if (movedOn)
            shot.saveToFile((artifacts / "after-title.png").string());
        previous = shot;
    }
    EXPECT_TRUE(movedOn) << "the title never gave way to the next screen";
    for (int i = 0; i < 50 && game.waitForExit(0.2) < 0; ++i)
        xdotool("key Escape");
    EXPECT_EQ(game.waitForExit(10.0), 0) << game.errors();
}

} // namespace
