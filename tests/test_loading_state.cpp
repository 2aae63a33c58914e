// The loading screen on a real window: the background task fills the holders and the profile on
// its own thread, and the screen hands over to the menu only once the task is done.
#include "core/MusicPlayer.hpp"
#include "core/ResourceHolder.hpp"
#include "core/StateStack.hpp"
#include "screens/LoadingState.hpp"
#include "screens/UserProfile.hpp"

#include "TestSupport.hpp"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Window/Event.hpp>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using namespace testsupport;

// Stands in for the menu and records what it finds when it is made.
struct MenuProbe {
    int made = 0;
    bool loggedIn = false;
    std::string name;
    bool hasPictures = false;
    bool hasFonts = false;
    bool hasLoadingPicture = true;
};
MenuProbe menuProbe;

struct FakeMenu : State {
    FakeMenu(StateStack& stack, Context context) : State(stack, context) {
        ++menuProbe.made;
        menuProbe.loggedIn = context.profile->loggedIn;
        menuProbe.name = context.profile->name;
        menuProbe.hasPictures = context.textures->contains(Textures::MenuScreen) &&
                                context.textures->contains(Textures::NormalButton) &&
                                context.textures->contains(Textures::ActiveButton) &&
                                context.textures->contains(Textures::SelectedButton);
        menuProbe.hasFonts =
            context.fonts->contains(Fonts::MenuTitle) && context.fonts->contains(Fonts::MenuButton);
        menuProbe.hasLoadingPicture = context.textures->contains(Textures::LoadingScreen);
    }
    void draw() override {}
    bool update(sf::Time) override { return true; }
    bool handleEvent(const sf::Event&) override { return true; }
};

class LoadingStateTest : public ::testing::Test {
protected:
    LoadingStateTest() : cwd(dir.path()) {
        menuProbe = MenuProbe();
        // Hidden, so the window takes no input meant for other tests' windows.
        window.setVisible(false);
    }

    std::unique_ptr<StateStack> makeStack() {
        auto stack = std::make_unique<StateStack>(
            State::Context{&window, &textures, &music, &fonts, &profile});
        stack->registerState<LoadingState>(States::Loading);
        stack->registerState<FakeMenu>(States::Menu);
        stack->push(States::Loading);
        return stack;
    }

    // Updates like the frame loop does until the menu is made; the number of updates, or -1.
    int updateUntilMenu(StateStack& stack) {
        for (int frame = 1; frame <= 2000; ++frame) {
            stack.update(sf::milliseconds(5));
            if (menuProbe.made > 0)
                return frame;
            window.clear();
            stack.draw();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return -1;
    }

    TempDir dir;
    ScopedCwd cwd;
    sf::RenderWindow window{sf::VideoMode(320, 200), "loading test"};
    TextureHolder textures;
    MusicPlayer music;
    FontHolder fonts;
    UserProfile profile;
};

TEST_F(LoadingStateTest, HandsOverToTheMenuWithEverythingLoaded) {
    writeFile(dir / "User" / "UserData.bin", "Ann\n");
    writeFile(dir / "User" / "Ann.bin", "5\n0\n1\n1");
    auto stack = makeStack();
    EXPECT_GT(updateUntilMenu(*stack), 0);
    EXPECT_EQ(menuProbe.made, 1);
    EXPECT_EQ(stack->size(), 1u) << "the loading screen is gone, the menu is on the stack";
    EXPECT_TRUE(menuProbe.loggedIn);
    EXPECT_EQ(menuProbe.name, "Ann");
    EXPECT_TRUE(menuProbe.hasPictures);
    EXPECT_TRUE(menuProbe.hasFonts);
    EXPECT_FALSE(menuProbe.hasLoadingPicture) << "the loading picture went with its screen";
    EXPECT_EQ(profile.value1, '5');
    EXPECT_EQ(fs::current_path(), dir.path()) << "the look-up leaves the working directory alone";
}

// The scratch folder has no pictures either: the window stays black and the menu still follows.
TEST_F(LoadingStateTest, TheFirstStartCreatesTheUserFolderAndNoOneIsLoggedIn) {
    auto stack = makeStack();
    EXPECT_GT(updateUntilMenu(*stack), 0);
    EXPECT_TRUE(fs::is_directory(dir / "User"));
    EXPECT_FALSE(menuProbe.loggedIn);
}

TEST_F(LoadingStateTest, RealDataFilesLoadIntoTheHolders) {
    copyDataDir(dir.path());
    auto stack = makeStack();
    ASSERT_GT(updateUntilMenu(*stack), 0);
    EXPECT_GT(textures.get(Textures::MenuScreen).getSize().x, 0u);
    EXPECT_TRUE(textures.get(Textures::MenuScreen).isSmooth());
    EXPECT_GT(textures.get(Textures::NormalButton).getSize().x, 0u);
    EXPECT_GT(textures.get(Textures::ActiveButton).getSize().x, 0u);
    EXPECT_GT(textures.get(Textures::SelectedButton).getSize().x, 0u);
    EXPECT_FALSE(fonts.get(Fonts::MenuTitle).getInfo().family.empty());
    EXPECT_FALSE(fonts.get(Fonts::MenuButton).getInfo().family.empty());
}

// The 320 x 200 window holds the 1280 x 720 layout at a quarter of its size, 320 x 180 from y 10:
// the picture fills that, and shows once more, dimmed, behind the bands above and below it.
TEST_F(LoadingStateTest, ThePictureFillsTheLayoutAndShowsDimmedAroundIt) {
    sf::Image picture;
    picture.create(64, 36, sf::Color::Green);
    fs::create_directories(dir / "Images");
    ASSERT_TRUE(picture.saveToFile((dir / "Images" / "LoadingScreen.png").string()));
    const State::Context context{&window, &textures, &music, &fonts, &profile};
    StateStack stack(context);
    LoadingState screen(stack, context);
    EXPECT_TRUE(textures.get(Textures::LoadingScreen).isSmooth());
    EXPECT_TRUE(screen.getBackground().hasSurround());
    window.clear(sf::Color::Magenta);
    screen.draw();
    sf::Texture shot;
    ASSERT_TRUE(shot.create(320, 200));
    shot.update(window);
    const sf::Image shown = shot.copyToImage();
    for (const unsigned y : {10u, 100u, 189u})
        for (const unsigned x : {0u, 160u, 319u})
            EXPECT_EQ(shown.getPixel(x, y), sf::Color::Green) << x << ", " << y;
    for (const unsigned y : {0u, 9u, 190u, 199u}) {
        const sf::Color band = shown.getPixel(160, y);
        EXPECT_EQ(band.r, 0) << y;
        EXPECT_GT(band.g, 60) << "the picture, dimmed, at " << y;
        EXPECT_LT(band.g, 160) << y;
    }
}

TEST_F(LoadingStateTest, EventsDuringLoadingChangeNothing) {
    auto stack = makeStack();
    sf::Event key;
    key.type = sf::Event::KeyPressed;
    key.key.code = sf::Keyboard::Escape;
    stack->handleEvent(key); // creates the screen, which gets this event and the next ones
    sf::Event click;
    click.type = sf::Event::MouseButtonPressed;
    click.mouseButton.button = sf::Mouse::Left;
    stack->handleEvent(click);
    stack->handleEvent(key);
    EXPECT_EQ(stack->size(), 1u);
    EXPECT_EQ(menuProbe.made, 0) << "only an update switches to the menu";
    EXPECT_GT(updateUntilMenu(*stack), 0);
}

TEST_F(LoadingStateTest, DestroyedWhileLoadingItWaitsForTheTask) {
    copyDataDir(dir.path());
    writeFile(dir / "User" / "UserData.bin", "Ann\n");
    writeFile(dir / "User" / "Ann.bin", "5\n0\n1\n1");
    {
        auto stack = makeStack();
        sf::Event closed;
        closed.type = sf::Event::Closed;
        stack->handleEvent(closed); // the screen exists and its task has started
        EXPECT_EQ(stack->size(), 1u);
    } // the window was closed during loading: the stack and the screen go
    EXPECT_EQ(menuProbe.made, 0);
    // Everything the task does has been done by the time the screen is gone.
    EXPECT_TRUE(profile.loggedIn);
    EXPECT_EQ(profile.name, "Ann");
    EXPECT_TRUE(fonts.contains(Fonts::MenuButton));
}

} // namespace
