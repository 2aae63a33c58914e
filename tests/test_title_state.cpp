#include "core/ResourceHolder.hpp"
#include "core/StateStack.hpp"
#include "screens/TitleState.hpp"

#include "TestSupport.hpp"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Window/Event.hpp>
#include <gtest/gtest.h>

namespace {

// A stand-in for the loading screen that only records that it was made.
int loadingScreensMade = 0;
struct FakeLoading : State {
    FakeLoading(StateStack& stack, Context context) : State(stack, context) {
        ++loadingScreensMade;
    }
    void draw() override {}
    bool update(sf::Time) override { return true; }
    bool handleEvent(const sf::Event&) override { return true; }
};

class TitleStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        loadingScreensMade = 0;
        cwd = std::make_unique<testsupport::ScopedCwd>(dir.path());
        stack.registerState<TitleState>(States::Title);
        stack.push(States::Title);
        stack.update(sf::Time::Zero);
    }

    testsupport::TempDir dir;
    std::unique_ptr<testsupport::ScopedCwd> cwd;
    sf::RenderWindow window{sf::VideoMode(320, 200), "title test"};
    TextureHolder textures;
    StateStack stack{State::Context{&window, &textures, nullptr, nullptr, nullptr}};
};

TEST_F(TitleStateTest, HandsOverInExactlyThe308thUpdateWhateverTheFrameTime) {
    stack.registerState<FakeLoading>(States::Loading);
    EXPECT_TRUE(textures.contains(Textures::TitleScreen));
    int updates = 0;
    while (loadingScreensMade == 0 && updates < 1000) {
        stack.update(sf::seconds(updates % 2 ? 0.5f : 0.001f));
        ++updates;
    }
    EXPECT_EQ(updates, 308);
    EXPECT_EQ(stack.size(), 1u) << "the title screen is gone, the loading screen is on the stack";
    EXPECT_FALSE(textures.contains(Textures::TitleScreen)) << "its picture went with it";
}

TEST_F(TitleStateTest, EmptyStackWhenTheLoadingScreenIsNotRegistered) {
    for (int i = 0; i < 307; ++i)
        stack.update(sf::milliseconds(16));
    EXPECT_FALSE(stack.isEmpty());
    stack.update(sf::milliseconds(16));
    EXPECT_TRUE(stack.isEmpty());
}

TEST_F(TitleStateTest, KeyOrMouseButtonEndsTheScreenAtAnyAlpha) {
    stack.registerState<FakeLoading>(States::Loading);
    for (int i = 0; i < 10; ++i)
        stack.update(sf::milliseconds(16));
    sf::Event click;
    click.type = sf::Event::MouseButtonPressed;
    stack.handleEvent(click);
    EXPECT_EQ(loadingScreensMade, 1);
    EXPECT_EQ(stack.size(), 1u);
}

TEST_F(TitleStateTest, OtherEventsDoNotEndIt) {
    sf::Event moved;
    moved.type = sf::Event::MouseMoved;
    stack.handleEvent(moved);
    sf::Event released;
    released.type = sf::Event::KeyReleased;
    stack.handleEvent(released);
    EXPECT_FALSE(stack.isEmpty());
}

// The overlay drawn after update n shows the alpha reached by update n - 1.
TEST(TitleStateFade, OverlayFollowsTheFadeCurve) {
    testsupport::TempDir dir;
    testsupport::ScopedCwd cwd(dir.path());
    sf::RenderWindow window(sf::VideoMode(320, 200), "fade test");
    TextureHolder textures;
    StateStack stack(State::Context{&window, &textures, nullptr, nullptr, nullptr});
    TitleState title(stack, State::Context{&window, &textures, nullptr, nullptr, nullptr});
    EXPECT_EQ(title.getFader().getFillColor().a, 0) << "undimmed before the first update";
    EXPECT_EQ(title.getFader().getSize(), sf::Vector2f(320.f, 200.f));
    std::vector<int> shown;
    for (int update = 1; update <= 307; ++update) {
        title.update(sf::Time::Zero);
        shown.push_back(title.getFader().getFillColor().a);
    }
    EXPECT_EQ(shown[0], 255);
    EXPECT_EQ(shown[205], 50) << "after update 206";
    EXPECT_EQ(shown[306], 252) << "after update 307, the last one drawn";
    EXPECT_EQ(*std::min_element(shown.begin(), shown.end()), 50);
}

} // namespace
