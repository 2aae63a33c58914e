// Buttons: their three looks, their texture and colour tables, their labels and their bounds.
#include "gui/Button.hpp"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <gtest/gtest.h>

#include <cmath>

namespace {

const char* const FontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const sf::Color Grey(128, 128, 128, 255);

class ButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(normal.create(120, 40));
        ASSERT_TRUE(hovered.create(130, 44));
        ASSERT_TRUE(pressed.create(140, 48));
        ASSERT_TRUE(font.loadFromFile(FontFile)) << FontFile;
    }
    sf::Texture normal, hovered, pressed;
    sf::Font font;
};

TEST_F(ButtonTest, ThreeTexturesRepeatTheFirstAndTakeTheNormalSizeCentred) {
    GUI::Button button(GUI::Button::ShapeAndText);
    button.setTextures({&normal, &hovered, &pressed});
    EXPECT_EQ(button.getTexture(0), &normal);
    EXPECT_EQ(button.getTexture(1), &hovered);
    EXPECT_EQ(button.getTexture(2), &pressed);
    EXPECT_EQ(button.getTexture(3), &normal);
    EXPECT_EQ(button.getShape().getTexture(), &normal);
    EXPECT_EQ(button.getShape().getSize(), sf::Vector2f(120.f, 40.f));
    button.setPosition(300.f, 200.f);
    const sf::FloatRect bounds = button.getBounds();
    EXPECT_FLOAT_EQ(bounds.left, 240.f);
    EXPECT_FLOAT_EQ(bounds.top, 180.f);
    EXPECT_FLOAT_EQ(bounds.width, 120.f);
    EXPECT_FLOAT_EQ(bounds.height, 40.f);
}

TEST_F(ButtonTest, FourTexturesAreKeptAsGiven) {
    sf::Texture fourth;
    ASSERT_TRUE(fourth.create(8, 8));
    GUI::Button button(GUI::Button::ShapeOnly);
    button.setTextures({&normal, &hovered, &pressed, &fourth});
    EXPECT_EQ(button.getTexture(3), &fourth);
}

TEST_F(ButtonTest, EachLookShowsItsTextureAndLabelColour) {
    GUI::Button button(GUI::Button::ShapeAndText);
    button.setTextures({&normal, &hovered, &pressed});
    button.setColors(GUI::Button::Label,
                     {sf::Color(102, 0, 0), sf::Color::Black, sf::Color::Yellow});
    button.setText("Play", font, 30);

    button.setHovered(true);
    EXPECT_EQ(button.getShape().getTexture(), &hovered);
    EXPECT_EQ(button.getText().getFillColor(), sf::Color::Black);
    EXPECT_EQ(button.getShape().getOutlineColor(), sf::Color(0, 255, 0));
    button.setActive(true);
    EXPECT_EQ(button.getShape().getTexture(), &pressed);
    EXPECT_EQ(button.getText().getFillColor(), sf::Color::Yellow);
    EXPECT_EQ(button.getShape().getOutlineColor(), sf::Color(255, 0, 0));
    // The look is the last one applied, even though the button is still pressed.
    button.setHovered(false);
    EXPECT_TRUE(button.isActive());
    EXPECT_EQ(button.getShape().getTexture(), &normal);
    EXPECT_EQ(button.getText().getFillColor(), sf::Color(102, 0, 0));
    EXPECT_EQ(button.getShape().getOutlineColor(), sf::Color::Black);
    // The picture keeps its size: the looks change the texture, not the rectangle.
    EXPECT_EQ(button.getShape().getSize(), sf::Vector2f(120.f, 40.f));
}

TEST_F(ButtonTest, ColourTablesStartAsDesignedAndShortListsEndInGrey) {
    GUI::Button shaped(GUI::Button::ShapeAndText);
    EXPECT_EQ(shaped.getColor(GUI::Button::Outline, 0), sf::Color::Black);
    EXPECT_EQ(shaped.getColor(GUI::Button::Outline, 1), sf::Color(0, 255, 0));
    EXPECT_EQ(shaped.getColor(GUI::Button::Outline, 2), sf::Color(255, 0, 0));
    EXPECT_EQ(shaped.getColor(GUI::Button::Outline, 3), Grey);
    EXPECT_EQ(shaped.getColor(GUI::Button::Fill, 1), sf::Color::Black);
    EXPECT_EQ(shaped.getColor(GUI::Button::Label, 2), sf::Color::Black);

    shaped.setColors(GUI::Button::Label,
                     {sf::Color::Red, sf::Color::Blue, sf::Color::White, sf::Color::Cyan});
    EXPECT_EQ(shaped.getColor(GUI::Button::Label, 3), sf::Color::Cyan);
    shaped.setColors(GUI::Button::Label, {sf::Color::Magenta});
    EXPECT_EQ(shaped.getColor(GUI::Button::Label, 0), sf::Color::Magenta);
    EXPECT_EQ(shaped.getColor(GUI::Button::Label, 1), sf::Color::Blue) << "entries not given stay";
    EXPECT_EQ(shaped.getColor(GUI::Button::Label, 3), Grey);

    GUI::Button textOnly(GUI::Button::TextOnly);
    EXPECT_EQ(textOnly.getColor(GUI::Button::Fill, 1), sf::Color(0, 255, 0));
}

TEST_F(ButtonTest, NewColoursShowFromTheNextChangeOfLook) {
    GUI::Button button(GUI::Button::ShapeAndText);
    button.setText("User", font, 30);
    button.setColors(GUI::Button::Label, {sf::Color::Blue, sf::Color::Green, sf::Color::Red});
    EXPECT_NE(button.getText().getFillColor(), sf::Color::Blue);
    button.setHovered(false);
    EXPECT_EQ(button.getText().getFillColor(), sf::Color::Blue);
}

TEST_F(ButtonTest, OnlyALabelOnlyButtonFillsItsShapeByLook) {
    GUI::Button textOnly(GUI::Button::TextOnly);
    textOnly.setHovered(true);
    EXPECT_EQ(textOnly.getShape().getFillColor(), sf::Color(0, 255, 0));
    textOnly.setActive(true);
    EXPECT_EQ(textOnly.getShape().getFillColor(), sf::Color(255, 0, 0));

    GUI::Button shaped(GUI::Button::ShapeOnly);
    const sf::Color before = shaped.getShape().getFillColor();
    shaped.setHovered(true);
    EXPECT_EQ(shaped.getShape().getFillColor(), before);
}

TEST_F(ButtonTest, LabelOnlyButtonIsHitTestedOnItsSquareThenOnItsText) {
    GUI::Button button(GUI::Button::TextOnly);
    button.setText("A long label", font, 30);
    // The default 40 x 40 square, centred on the default position (20, 20).
    sf::FloatRect bounds = button.getBounds();
    EXPECT_FLOAT_EQ(bounds.left, 0.f);
    EXPECT_FLOAT_EQ(bounds.top, 0.f);
    EXPECT_FLOAT_EQ(bounds.width, 40.f);
    EXPECT_FLOAT_EQ(bounds.height, 40.f);

    button.setTextures({&normal, &hovered, &pressed});
    EXPECT_EQ(button.getShape().getSize(), sf::Vector2f(0.f, 0.f));
    EXPECT_EQ(button.getShape().getTexture(), nullptr);
    bounds = button.getBounds();
    EXPECT_GT(bounds.width, 100.f) << "the text of a long label at size 30";
    EXPECT_LT(bounds.height, 40.f);
    // The label is centred on the button's position.
    EXPECT_NEAR(bounds.left + bounds.width / 2.f, 20.f, 1.f);
    EXPECT_NEAR(bounds.top + bounds.height / 2.f, 20.f, 1.f);
}

TEST_F(ButtonTest, LabelIsCentredOnThePosition) {
    GUI::Button button(GUI::Button::ShapeAndText);
    button.setPosition(640.f, 350.f);
    button.setText("Exit", font, 30);
    const sf::FloatRect label =
        button.getTransform().transformRect(button.getText().getGlobalBounds());
    EXPECT_NEAR(label.left + label.width / 2.f, 640.f, 1.f);
    EXPECT_NEAR(label.top + label.height / 2.f, 350.f, 1.f);
    EXPECT_EQ(button.getText().getCharacterSize(), 30u);
    EXPECT_EQ(button.getText().getString(), sf::String("Exit"));
}

TEST_F(ButtonTest, LabelsAreReadAsUtf8) {
    GUI::Button button(GUI::Button::TextOnly);
    button.setText("Zo\xC3\xAB", font, 30);
    const sf::String label = button.getText().getString();
    ASSERT_EQ(label.getSize(), 3u);
    EXPECT_EQ(label[2], 0xEBu);
}

TEST_F(ButtonTest, TriggerRunsTheCallbackAndMarksTheButton) {
    GUI::Button button(GUI::Button::ShapeAndText);
    int calls = 0;
    button.setCallback([&calls] { ++calls; });
    EXPECT_FALSE(button.isTriggered());
    button.trigger();
    button.trigger();
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(button.isTriggered());

    GUI::Button silent(GUI::Button::ShapeOnly);
    silent.trigger();
    EXPECT_TRUE(silent.isTriggered());
}

TEST_F(ButtonTest, SetSizePutsTheTopLeftCornerAtThePosition) {
    GUI::Button button(GUI::Button::ShapeOnly);
    button.setPosition(100.f, 50.f);
    button.setSize(80, 30);
    const sf::FloatRect bounds = button.getBounds();
    EXPECT_FLOAT_EQ(bounds.left, 100.f);
    EXPECT_FLOAT_EQ(bounds.top, 50.f);
    EXPECT_FLOAT_EQ(bounds.width, 80.f);
    EXPECT_FLOAT_EQ(bounds.height, 30.f);
}

} // namespace
