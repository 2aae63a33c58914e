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

// A column of three buttons with a field between the first two that the keys pass over.
class KeyboardPage : public ContainerTest {
protected:
    KeyboardPage() {
        for (Probe* child : {&a, &field, &b, &c})
            page.pack(child);
    }
    void press(sf::Keyboard::Key code) { page.handleEvent(keyPressed(code), Outside); }
    // Which children look hovered after a frame with the pointer at `pointer`.
    std::vector<bool> hoveredAfterFrame(sf::Vector2f pointer = Outside) {
        page.update(pointer, false);
        return {a.isHovered(), field.isHovered(), b.isHovered(), c.isHovered()};
    }

    Probe field{sf::FloatRect(10.f, 40.f, 20.f, 20.f), false, false};
    Probe b{sf::FloatRect(10.f, 70.f, 20.f, 20.f)};
    Probe c{sf::FloatRect(10.f, 100.f, 20.f, 20.f)};
};

TEST_F(KeyboardPage, AnOpeningPageHighlightsItsFirstButtonWhereverThePointerIs) {
    EXPECT_EQ(hoveredAfterFrame(sf::Vector2f(15.f, 75.f)),
              (std::vector<bool>{false, false, true, false}))
        << "before, the pointer leads";
    page.selectFirst();
    EXPECT_EQ(hoveredAfterFrame(sf::Vector2f(15.f, 75.f)),
              (std::vector<bool>{true, false, false, false}));
}

TEST_F(KeyboardPage, DownAndUpStepOverWhatCannotBeSelectedAndGoRoundTheEnds) {
    page.selectFirst();
    press(sf::Keyboard::Down);
    EXPECT_EQ(hoveredAfterFrame(), (std::vector<bool>{false, false, true, false}));
    press(sf::Keyboard::Down);
    press(sf::Keyboard::Down);
    EXPECT_EQ(hoveredAfterFrame(), (std::vector<bool>{true, false, false, false}))
        << "past the last button comes the first";
    press(sf::Keyboard::Up);
    EXPECT_EQ(hoveredAfterFrame(), (std::vector<bool>{false, false, false, true}))
        << "before the first comes the last";
}

TEST_F(KeyboardPage, ReturnAndSpaceTriggerTheHighlightedButton) {
    page.selectFirst();
    press(sf::Keyboard::Down);
    press(sf::Keyboard::Return);
    press(sf::Keyboard::Space);
    EXPECT_EQ(a.triggers, 0);
    EXPECT_EQ(b.triggers, 2);
    EXPECT_EQ(c.triggers, 0);
}

TEST_F(KeyboardPage, WithNothingHighlightedReturnDoesNothingAndDownStartsAtTheTop) {
    press(sf::Keyboard::Return);
    EXPECT_EQ(a.triggers + b.triggers + c.triggers, 0);
    press(sf::Keyboard::Down);
    EXPECT_EQ(hoveredAfterFrame(), (std::vector<bool>{true, false, false, false}));
}

TEST_F(KeyboardPage, AMovingPointerLeadsAndTheKeysGoOnFromWhatItHovered) {
    page.selectFirst();
    sf::Event moved;
    moved.type = sf::Event::MouseMoved;
    moved.mouseMove = {15, 105};
    page.handleEvent(moved, Outside);
    EXPECT_EQ(hoveredAfterFrame(sf::Vector2f(15.f, 105.f)),
              (std::vector<bool>{false, false, false, true}));
    EXPECT_EQ(hoveredAfterFrame(sf::Vector2f(15.f, 45.f)),
              (std::vector<bool>{false, true, false, false}))
        << "the pointer hovers the field, which the keys cannot select";
    press(sf::Keyboard::Up);
    EXPECT_EQ(hoveredAfterFrame(sf::Vector2f(15.f, 45.f)),
              (std::vector<bool>{false, false, true, false}));
}

TEST_F(KeyboardPage, AKeyTheHighlightedChildConsumesIsNotActedOn) {
    Probe typing(sf::FloatRect(10.f, 130.f, 20.f, 20.f), true);
    GUI::Container form(window);
    form.pack(&typing);
    form.pack(&a);
    form.selectFirst();
    form.handleEvent(keyPressed(sf::Keyboard::Down), Outside);
    form.handleEvent(keyPressed(sf::Keyboard::Return), Outside);
    form.update(Outside, false);
    EXPECT_TRUE(typing.isHovered());
    EXPECT_FALSE(a.isHovered());
    EXPECT_EQ(typing.triggers + a.triggers, 0);
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
