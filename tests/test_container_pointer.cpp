// The container reads the real pointer relative to its window, and the real left button decides
// whether hovering may change. These tests move the X pointer, so they hold the X input.
#include "gui/Component.hpp"
#include "gui/Container.hpp"

#include "TestSupport.hpp"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Event.hpp>
#include <SFML/Window/Mouse.hpp>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using namespace testsupport;

class Square : public GUI::Component {
public:
    explicit Square(sf::FloatRect bounds) : bounds(bounds) {}
    sf::FloatRect getBounds() const override { return bounds; }
    void trigger() override { ++triggers; }
    int triggers = 0;

private:
    void draw(sf::RenderTarget&, sf::RenderStates) const override {}
    sf::FloatRect bounds;
};

sf::Event buttonEvent(sf::Event::EventType type, int x, int y) {
    sf::Event event;
    event.type = type;
    event.mouseButton.button = sf::Mouse::Left;
    event.mouseButton.x = x;
    event.mouseButton.y = y;
    return event;
}

class ContainerPointerTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.create(sf::VideoMode(400, 300), "container pointer test", sf::Style::None);
        window.setPosition(sf::Vector2i(100, 100));
        window.display();
        page.pack(&square);
        // Let the server place the window before the pointer is moved relative to it.
        pointTo(sf::Vector2i(300, 250));
    }
    void TearDown() override { xdotool("mouseup 1"); }

    void pointTo(sf::Vector2i position) {
        for (int i = 0; i < 50; ++i) {
            sf::Mouse::setPosition(position, window);
            if (sf::Mouse::getPosition(window) == position)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        FAIL() << "the pointer cannot be moved over the test window";
    }

    sf::RenderWindow window;
    GUI::Container page{window};
    Square square{sf::FloatRect(40.f, 40.f, 60.f, 60.f)};
};

TEST_F(ContainerPointerTest, HoverFollowsThePointerOverTheWindow) {
    pointTo(sf::Vector2i(50, 50));
    page.update();
    EXPECT_TRUE(square.isHovered());
    pointTo(sf::Vector2i(200, 50));
    page.update();
    EXPECT_FALSE(square.isHovered());
}

TEST_F(ContainerPointerTest, ClicksUseThePointerNotTheEventsCoordinates) {
    pointTo(sf::Vector2i(60, 60));
    page.handleEvent(buttonEvent(sf::Event::MouseButtonPressed, 300, 250));
    EXPECT_TRUE(square.isActive());
    page.handleEvent(buttonEvent(sf::Event::MouseButtonReleased, 300, 250));
    EXPECT_EQ(square.triggers, 1);

    page.handleEvent(buttonEvent(sf::Event::MouseButtonPressed, 60, 60));
    pointTo(sf::Vector2i(300, 250));
    page.handleEvent(buttonEvent(sf::Event::MouseButtonReleased, 60, 60));
    EXPECT_EQ(square.triggers, 1);
    EXPECT_FALSE(square.isActive());
}

TEST_F(ContainerPointerTest, HoverIsFrozenWhileTheLeftButtonIsHeld) {
    pointTo(sf::Vector2i(50, 50));
    page.update();
    ASSERT_TRUE(square.isHovered());

    xdotool("mousedown 1");
    bool held = false;
    for (int i = 0; i < 50 && !held; ++i) {
        held = sf::Mouse::isButtonPressed(sf::Mouse::Left);
        if (!held)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_TRUE(held) << "xdotool could not hold the left button";
    pointTo(sf::Vector2i(300, 250));
    page.update();
    EXPECT_TRUE(square.isHovered()) << "hovering must not change while the left button is held";

    xdotool("mouseup 1");
    for (int i = 0; i < 50 && sf::Mouse::isButtonPressed(sf::Mouse::Left); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    page.update();
    EXPECT_FALSE(square.isHovered());
}

TEST_F(ContainerPointerTest, TheRightButtonHeldDoesNotFreezeHovering) {
    pointTo(sf::Vector2i(50, 50));
    page.update();
    xdotool("mousedown 3");
    pointTo(sf::Vector2i(300, 250));
    page.update();
    xdotool("mouseup 3");
    EXPECT_FALSE(square.isHovered());
}

} // namespace
