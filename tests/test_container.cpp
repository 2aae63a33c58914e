// The pointer and keyboard rules every page of widgets shares, driven with the pointer given to the
// container.
#include "gui/Component.hpp"
#include "gui/Container.hpp"

#include "TestSupport.hpp"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Window/Event.hpp>
#include <SFML/Window/Window.hpp>
#include <gtest/gtest.h>

namespace {

using testsupport::keyPressed;

// A widget with fixed bounds that counts what happens to it.
class Probe : public GUI::Component {
public:
    explicit Probe(sf::FloatRect bounds, bool consumes = false, bool selectable = true)
        : bounds(bounds), consumes(consumes), selectable(selectable) {}
    sf::FloatRect getBounds() const override { return bounds; }
    bool isSelectable() const override { return selectable; }
    void trigger() override {
        ++triggers;
        markTriggered();
    }
    bool handleEvent(const sf::Event&) override {
        ++offered;
        return consumes;
    }
    int triggers = 0;
    int offered = 0;

private:
    void draw(sf::RenderTarget& target, sf::RenderStates states) const override {
        sf::RectangleShape square(sf::Vector2f(bounds.width, bounds.height));
        square.setPosition(bounds.left, bounds.top);
        square.setFillColor(sf::Color::Red);
        target.draw(square, states);
    }
    sf::FloatRect bounds;
    bool consumes;
    bool selectable;
};

sf::Event buttonEvent(sf::Event::EventType type, sf::Mouse::Button button = sf::Mouse::Left) {
    sf::Event event;
    event.type = type;
    // The container must not use these: it reads the pointer itself.
    event.mouseButton.button = button;
    event.mouseButton.x = -1000;
    event.mouseButton.y = -1000;
    return event;
}

const sf::Event Press = buttonEvent(sf::Event::MouseButtonPressed);
const sf::Event Release = buttonEvent(sf::Event::MouseButtonReleased);
const sf::Vector2f InsideA(15.f, 15.f);
const sf::Vector2f Outside(300.f, 300.f);

class ContainerTest : public ::testing::Test {
protected:
    ContainerTest() : page(window) {}

    sf::Window window; // never opened: the pointer is handed in directly
    GUI::Container page;
    Probe a{sf::FloatRect(10.f, 10.f, 20.f, 20.f)};
};

TEST_F(ContainerTest, PressInsideAndReleaseInsideTriggersAndStaysActive) {
    page.pack(&a);
    page.handleEvent(Press, InsideA);
    EXPECT_TRUE(a.isActive());
    page.handleEvent(Release, InsideA);
    EXPECT_EQ(a.triggers, 1);
    EXPECT_TRUE(a.isTriggered());
    EXPECT_TRUE(a.isActive());
}

TEST_F(ContainerTest, PressInsideAndReleaseOutsideDeactivatesWithoutTrigger) {
    page.pack(&a);
    page.handleEvent(Press, InsideA);
    page.handleEvent(Release, Outside);
    EXPECT_FALSE(a.isActive());
    EXPECT_EQ(a.triggers, 0);
}

TEST_F(ContainerTest, PressOutsideAndReleaseInsideDoesNotTrigger) {
    page.pack(&a);
    page.handleEvent(Press, Outside);
    EXPECT_FALSE(a.isActive());
    page.handleEvent(Release, InsideA);
    EXPECT_EQ(a.triggers, 0);
    EXPECT_FALSE(a.isActive());
}

TEST_F(ContainerTest, RectangleEdgesFollowTheLibrarysContainsRule) {
    page.pack(&a);
    page.handleEvent(Press, sf::Vector2f(30.f, 15.f)); // right edge: left + width is outside
    EXPECT_FALSE(a.isActive());
    page.handleEvent(Press, sf::Vector2f(10.f, 10.f)); // top-left corner is inside
    EXPECT_TRUE(a.isActive());
}

TEST_F(ContainerTest, OverlappingChildrenBothActivateAndOnlyTheFirstTriggers) {
    Probe b(sf::FloatRect(0.f, 0.f, 100.f, 100.f));
    page.pack(&a);
    page.pack(&b);
    page.handleEvent(Press, InsideA);
    EXPECT_TRUE(a.isActive());
    EXPECT_TRUE(b.isActive());
    page.handleEvent(Release, InsideA);
    EXPECT_EQ(a.triggers, 1);
    EXPECT_EQ(b.triggers, 0);
    EXPECT_TRUE(b.isActive()) << "the walk stops at the child that triggers";
}

TEST_F(ContainerTest, ReleaseDeactivatesTheChildrenItPassesBeforeTheTrigger) {
    Probe first(sf::FloatRect(200.f, 200.f, 20.f, 20.f));
    Probe last(sf::FloatRect(400.f, 400.f, 20.f, 20.f));
    page.pack(&first);
    page.pack(&a);
    page.pack(&last);
    first.setActive(true);
    last.setActive(true);
    page.handleEvent(Press, InsideA);
    page.handleEvent(Release, InsideA);
    EXPECT_FALSE(first.isActive());
    EXPECT_EQ(a.triggers, 1);
    EXPECT_TRUE(last.isActive()) << "children after the trigger are not visited";
}

TEST_F(ContainerTest, RightButtonClickBehavesLikeLeft) {
    page.pack(&a);
    page.handleEvent(buttonEvent(sf::Event::MouseButtonPressed, sf::Mouse::Right), InsideA);
    EXPECT_TRUE(a.isActive());
    page.handleEvent(buttonEvent(sf::Event::MouseButtonReleased, sf::Mouse::Right), InsideA);
    EXPECT_EQ(a.triggers, 1);
    page.handleEvent(buttonEvent(sf::Event::MouseButtonPressed, sf::Mouse::Right), InsideA);
    page.handleEvent(buttonEvent(sf::Event::MouseButtonReleased, sf::Mouse::Right), Outside);
    EXPECT_FALSE(a.isActive());
    EXPECT_EQ(a.triggers, 1);
}

TEST_F(ContainerTest, HoverFollowsThePointer) {
    Probe b(sf::FloatRect(100.f, 10.f, 20.f, 20.f));
    page.pack(&a);
    page.pack(&b);
    page.update(InsideA, false);
    EXPECT_TRUE(a.isHovered());
    EXPECT_FALSE(b.isHovered());
    page.update(sf::Vector2f(110.f, 20.f), false);
    EXPECT_FALSE(a.isHovered());
    EXPECT_TRUE(b.isHovered());
}

TEST_F(ContainerTest, HoverIsFrozenWhileTheLeftButtonIsHeld) {
    page.pack(&a);
    page.update(InsideA, false);
    page.update(Outside, true);
    EXPECT_TRUE(a.isHovered());
    page.update(Outside, false);
    EXPECT_FALSE(a.isHovered());
    page.update(InsideA, true);
    EXPECT_FALSE(a.isHovered());
}

TEST_F(ContainerTest, AConsumedEventStopsTheOfferButNotThePressRules) {
    Probe consumer(sf::FloatRect(0.f, 0.f, 50.f, 50.f), true);
    page.pack(&consumer);
    page.pack(&a);
    page.handleEvent(Press, InsideA);
    EXPECT_EQ(consumer.offered, 1);
    EXPECT_EQ(a.offered, 0) << "the offer stops at the child that consumes the event";
    EXPECT_TRUE(consumer.isActive());
    EXPECT_TRUE(a.isActive());
    page.handleEvent(Release, InsideA);
    EXPECT_EQ(consumer.triggers, 1);
}

TEST_F(ContainerTest, OtherEventsOnlyReachTheChildren) {
    page.pack(&a);
    a.setActive(true);
    page.handleEvent(keyPressed(sf::Keyboard::A), Outside);
    EXPECT_EQ(a.offered, 1);
    EXPECT_TRUE(a.isActive());
    EXPECT_EQ(a.triggers, 0);
}

// Three buttons with a field between the first two; the menu's pages show the rest.
TEST_F(ContainerTest, TheKeysStepOverWhatCannotBeSelectedAndThePointerTakesTheLeadBack) {
    Probe field(sf::FloatRect(10.f, 40.f, 20.f, 20.f), false, false);
    Probe b(sf::FloatRect(10.f, 70.f, 20.f, 20.f));
    Probe c(sf::FloatRect(10.f, 100.f, 20.f, 20.f));
    for (Probe* child : {&a, &field, &b, &c})
        page.pack(child);
    const auto hovered = [&](sf::Vector2f pointer) {
        page.update(pointer, false);
        return std::vector<bool>{a.isHovered(), field.isHovered(), b.isHovered(), c.isHovered()};
    };
    const auto press = [&](sf::Keyboard::Key code) { page.handleEvent(keyPressed(code), Outside); };
    const sf::Vector2f overB(15.f, 75.f), overField(15.f, 45.f);

    EXPECT_EQ(hovered(overB), (std::vector<bool>{false, false, true, false}));
    page.selectFirst();
    EXPECT_EQ(hovered(overB), (std::vector<bool>{true, false, false, false}));
    press(sf::Keyboard::Down);
    EXPECT_EQ(hovered(overB), (std::vector<bool>{false, false, true, false})) << "past the field";
    press(sf::Keyboard::Up);
    press(sf::Keyboard::Up);
    EXPECT_EQ(hovered(overB), (std::vector<bool>{false, false, false, true})) << "round the top";
    press(sf::Keyboard::Return);
    press(sf::Keyboard::Space);
    EXPECT_EQ(c.triggers, 2);

    sf::Event moved;
    moved.type = sf::Event::MouseMoved;
    moved.mouseMove = {15, 75};
    page.handleEvent(moved, Outside);
    EXPECT_EQ(hovered(overB), (std::vector<bool>{false, false, true, false}));
    EXPECT_EQ(hovered(overField), (std::vector<bool>{false, true, false, false}));
    press(sf::Keyboard::Down);
    EXPECT_EQ(hovered(overField), (std::vector<bool>{false, false, false, true}))
        << "the keys go on from the last button the pointer was over";
}

// The page tells its owner when the highlight moves, by keys or pointer, and when a component that
// can be highlighted is triggered: the menu answers each with a sound, and nothing else.
TEST_F(ContainerTest, TheOwnerIsToldWhenTheHighlightMovesAndWhenAButtonIsPressed) {
    Probe field(sf::FloatRect(10.f, 40.f, 20.f, 20.f), false, false);
    Probe b(sf::FloatRect(10.f, 70.f, 20.f, 20.f));
    for (Probe* child : {&a, &field, &b})
        page.pack(child);
    int moves = 0, presses = 0;
    page.setFeedback({[&] { ++moves; }, [&] { ++presses; }});
    const auto press = [&](sf::Keyboard::Key code) { page.handleEvent(keyPressed(code), Outside); };

    page.selectFirst();
    EXPECT_EQ(moves, 0) << "a page that opens has moved nothing";
    press(sf::Keyboard::Down);
    EXPECT_EQ(moves, 1);
    press(sf::Keyboard::Left);
    press(sf::Keyboard::Return);
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(b.triggers, 1);

    sf::Event moved;
    moved.type = sf::Event::MouseMoved;
    moved.mouseMove = {15, 15};
    page.handleEvent(moved, Outside);
    page.update(InsideA, false);
    page.update(InsideA, false);
    EXPECT_EQ(moves, 2) << "the pointer onto another button, once";
    page.update(sf::Vector2f(15.f, 45.f), false);
    EXPECT_EQ(moves, 2) << "a field is no button";
    page.handleEvent(Press, InsideA);
    page.handleEvent(Release, InsideA);
    EXPECT_EQ(presses, 2);
    page.handleEvent(Press, sf::Vector2f(15.f, 45.f));
    page.handleEvent(Release, sf::Vector2f(15.f, 45.f));
    EXPECT_EQ(field.triggers, 1);
    EXPECT_EQ(presses, 2) << "only what can be highlighted is pressed with a sound";
}

TEST_F(ContainerTest, CopiesShareTheirComponents) {
    page.pack(&a);
    GUI::Container copy = page;
    copy.handleEvent(Press, InsideA);
    EXPECT_TRUE(a.isActive());
    ASSERT_EQ(copy.getChildren().size(), 1u);
    EXPECT_EQ(copy.getChildren()[0], &a);
}

TEST(ContainerDrawing, DrawsChildrenMovedByTheContainersTransform) {
    sf::Window window;
    GUI::Container page(window);
    Probe a(sf::FloatRect(0.f, 0.f, 10.f, 10.f));
    page.pack(&a);
    page.setPosition(20.f, 30.f);
    sf::RenderTexture canvas;
    ASSERT_TRUE(canvas.create(64, 64));
    canvas.clear(sf::Color::Black);
    canvas.draw(page);
    canvas.display();
    const sf::Image picture = canvas.getTexture().copyToImage();
    EXPECT_EQ(picture.getPixel(25, 35), sf::Color::Red);
    EXPECT_EQ(picture.getPixel(5, 5), sf::Color::Black);
}

TEST(ContainerDrawing, AnEmptyContainerDrawsNothingAndIgnoresEvents) {
    sf::Window window;
    GUI::Container page(window);
    page.handleEvent(Press, InsideA);
    page.handleEvent(Release, InsideA);
    page.update(InsideA, false);
    sf::RenderTexture canvas;
    ASSERT_TRUE(canvas.create(16, 16));
    canvas.clear(sf::Color::Blue);
    canvas.draw(page);
    canvas.display();
    const sf::Image picture = canvas.getTexture().copyToImage();
    for (unsigned y = 0; y < 16; ++y)
        for (unsigned x = 0; x < 16; ++x)
            ASSERT_EQ(picture.getPixel(x, y), sf::Color::Blue);
    EXPECT_TRUE(page.getChildren().empty());
}

} // namespace
