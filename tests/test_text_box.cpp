// The one-line text field: clearing on activation, typing up to the limit, Backspace and Enter,
// and the cursor.
#include "gui/TextBox.hpp"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Window/Event.hpp>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

sf::Event typed(sf::Uint32 codePoint) {
    sf::Event event;
    event.type = sf::Event::TextEntered;
    event.text.unicode = codePoint;
    return event;
}

const sf::Uint32 Backspace = 8;
const sf::Uint32 Tab = 9;
const sf::Uint32 Enter = 13;

class TextBoxTest : public ::testing::Test {
protected:
    TextBoxTest()
        : result(std::make_shared<std::string>("untouched")),
          box({200.f, 200.f}, {500.f, 32.f}, result) {
        box.setText("Enter Your Name");
        box.setCallback([this] { ++calls; });
    }

    // Feeds each character of an ASCII string, and returns how many events were consumed.
    int type(const std::string& text) {
        int consumed = 0;
        for (const char c : text)
            consumed += box.handleEvent(typed(static_cast<sf::Uint32>(c))) ? 1 : 0;
        return consumed;
    }

    std::shared_ptr<std::string> result;
    GUI::TextBox box;
    int calls = 0;
};

TEST_F(TextBoxTest, TypingIntoABoxThatWasNeverPressedChangesNothing) {
    EXPECT_EQ(type("abc"), 0);
    EXPECT_FALSE(box.handleEvent(typed(Enter)));
    EXPECT_EQ(box.getString(), "Enter Your Name");
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(*result, "untouched");
}

// The name page's box: the player types at once, and may still click first.
TEST_F(TextBoxTest, ABoxThatTakesTypingWithoutAPressReplacesItsPromptWithTheFirstLetter) {
    box.setTypingWithoutPress(true);
    EXPECT_FALSE(box.handleEvent(typed(Enter)));
    EXPECT_FALSE(box.handleEvent(typed(Backspace)));
    EXPECT_EQ(box.getString(), "Enter Your Name") << "only a letter starts the typing";
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(type("Bo"), 0);
    EXPECT_EQ(box.getString(), "Bo");
    EXPECT_FALSE(box.isActive()) << "the pointer's rules are left alone";
    box.handleEvent(typed(Backspace));
    EXPECT_TRUE(box.handleEvent(typed(Enter)));
    EXPECT_EQ(*result, "B");
    EXPECT_EQ(calls, 1);
}

TEST_F(TextBoxTest, ActivationClearsThePromptAndTypingAppends) {
    box.setActive(true);
    EXPECT_EQ(box.getString(), "");
    EXPECT_EQ(type("Ann"), 0);
    EXPECT_EQ(box.getString(), "Ann");
    // Staying active does not clear it again.
    box.setActive(true);
    EXPECT_EQ(box.getString(), "Ann");
}

TEST_F(TextBoxTest, DeactivationKeepsTheTextAndReactivationClearsIt) {
    box.setActive(true);
    type("Ann");
    box.setActive(false);
    EXPECT_EQ(type("x"), 0);
    EXPECT_EQ(box.getString(), "Ann");
    box.setActive(true);
    EXPECT_EQ(box.getString(), "");
}

TEST_F(TextBoxTest, AFullBoxIgnoresLettersButTakesBackspaceAndEnter) {
    box.setMaxLength(15);
    box.setActive(true);
    type("abcdefghijklmnopq");
    EXPECT_EQ(box.getString(), "abcdefghijklmno");
    box.handleEvent(typed(Backspace));
    EXPECT_EQ(box.getString(), "abcdefghijklmn");
    type("XY");
    EXPECT_EQ(box.getString(), "abcdefghijklmnX");
    EXPECT_TRUE(box.handleEvent(typed(Enter)));
    EXPECT_EQ(*result, "abcdefghijklmnX");
    EXPECT_EQ(calls, 1);
}

TEST_F(TextBoxTest, BackspaceOnAnEmptyBoxLeavesItEmpty) {
    box.setActive(true);
    EXPECT_FALSE(box.handleEvent(typed(Backspace)));
    EXPECT_EQ(box.getString(), "");
}

TEST_F(TextBoxTest, EnterOnAJustPressedBoxStoresTheEmptyName) {
    box.setActive(true);
    EXPECT_TRUE(box.handleEvent(typed(Enter)));
    EXPECT_EQ(*result, "");
    EXPECT_EQ(calls, 1);
}

TEST_F(TextBoxTest, EnterWithoutACallbackStillStoresTheText) {
    GUI::TextBox plain({0.f, 0.f}, {100.f, 20.f}, result);
    plain.setActive(true);
    plain.handleEvent(typed('Q'));
    EXPECT_TRUE(plain.handleEvent(typed(Enter)));
    EXPECT_EQ(*result, "Q");
}

TEST_F(TextBoxTest, ControlCharactersAreTakenLikeLetters) {
    box.setActive(true);
    type("a");
    box.handleEvent(typed(Tab));
    box.handleEvent(typed(0));
    box.handleEvent(typed(127));
    box.handleEvent(typed(Enter));
    EXPECT_EQ(*result, std::string("a\t\0\x7f", 4));
}

TEST_F(TextBoxTest, TextIsKeptAsUtf8AndBackspaceRemovesAWholeLetter) {
    box.setActive(true);
    type("Zo");
    box.handleEvent(typed(0xEB)); // e with diaeresis
    box.handleEvent(typed(0x1F600));
    EXPECT_EQ(box.getString(), "Zo\xC3\xAB\xF0\x9F\x98\x80");
    box.handleEvent(typed(Backspace));
    box.handleEvent(typed(Enter));
    EXPECT_EQ(*result, "Zo\xC3\xAB");
}

TEST_F(TextBoxTest, PromptIsReadAsUtf8) {
    box.setText("Gr\xC3\xBC\xC3\x9F");
    EXPECT_EQ(box.getText().getString().getSize(), 4u);
}

TEST_F(TextBoxTest, BoxGeometryAndTextSize) {
    EXPECT_EQ(box.getText().getCharacterSize(), 26u);
    EXPECT_EQ(box.getText().getPosition(), sf::Vector2f(200.f, 200.f));
    sf::FloatRect bounds = box.getBounds();
    EXPECT_FLOAT_EQ(bounds.left, 200.f);
    EXPECT_FLOAT_EQ(bounds.width, 500.f);
    box.setBoxColors(sf::Color::White, sf::Color::Black);
    EXPECT_EQ(box.getBox().getOutlineThickness(), 2.f);
    bounds = box.getBounds();
    // The 2-pixel outline is part of the box.
    EXPECT_FLOAT_EQ(bounds.left, 198.f);
    EXPECT_FLOAT_EQ(bounds.top, 198.f);
    EXPECT_FLOAT_EQ(bounds.width, 504.f);
    EXPECT_FLOAT_EQ(bounds.height, 36.f);
    // The component's own transform does not move the hit area.
    static_cast<sf::Transformable&>(box).setPosition(1000.f, 1000.f);
    EXPECT_FLOAT_EQ(box.getBounds().left, 198.f);
}

TEST_F(TextBoxTest, OnlyTextEventsAreHandled) {
    box.setActive(true);
    sf::Event key;
    key.type = sf::Event::KeyPressed;
    key.key.code = sf::Keyboard::Enter;
    EXPECT_FALSE(box.handleEvent(key));
    EXPECT_EQ(calls, 0);
}

// While the box takes typing a cursor shows where the next letter goes: at the start, before the
// prompt, then just after the last letter; it never leaves the box.
TEST_F(TextBoxTest, ACursorShowsWhereTheNextLetterGoesWhileTheBoxTakesTyping) {
    sf::Font font;
    ASSERT_TRUE(font.loadFromFile("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"));
    box.setFont(font);
    EXPECT_FALSE(box.showsCursor()) << "a box that takes no typing";
    box.setTypingWithoutPress(true);
    ASSERT_TRUE(box.showsCursor());
    const sf::FloatRect start = box.getCursor();
    EXPECT_NEAR(start.left, 204.f, 1.f);
    EXPECT_GE(start.top, 200.f);
    EXPECT_LE(start.top + start.height, 232.f);

    type("W");
    const float afterOne = box.getCursor().left;
    EXPECT_GT(afterOne, 210.f);
    type("W");
    EXPECT_NEAR(box.getCursor().left - afterOne, afterOne - 201.f, 1.f) << "one W further";
    type(std::string(40, 'W'));
    EXPECT_LE(box.getCursor().left + box.getCursor().width, 700.f);
}

} // namespace
