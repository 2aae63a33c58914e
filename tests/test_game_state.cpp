// The game screen on a real screen stack and window: its music, and the three ways it leaves.

#include "CaptureErrors.hpp"
#include "WorldFixture.hpp"

#include "actors/Player.hpp"
#include "actors/Tank.hpp"
#include "core/MusicPlayer.hpp"
#include "core/ResourceHolder.hpp"
#include "core/StateStack.hpp"
#include "screens/GameState.hpp"

#include <SFML/Audio/InputSoundFile.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Window/Event.hpp>
#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace testsupport;

const sf::Time Frame = sf::seconds(1.f / 60.f);

// The real game screen; it remembers the last one the stack built, so a test can reach its
// world, and forgets it when the stack destroys it.
class ObservedGameState : public GameState {
public:
    ObservedGameState(StateStack& stack, Context context) : GameState(stack, context) {
        latest = this;
    }
    ~ObservedGameState() override {
        if (latest == this)
            latest = nullptr;
    }
    static inline ObservedGameState* latest = nullptr;
};

std::string oneLevel() {
    std::vector<std::string> rows(20, row('.'));
    rows[1][27] = 'R';
    return levelScript(rows);
}

sf::Event keyPressed(sf::Keyboard::Key key) {
    sf::Event event;
    event.type = sf::Event::KeyPressed;
    event.key = {key, false, false, false, false};
    return event;
}

// A scratch data folder with the game's scripts, pictures and sounds, a window and the
// application's shared objects, and a stack on which the game screen is registered.
class GameStateScreen : public ::testing::Test {
protected:
    void start(bool withLevel) {
        for (const char* folder : {"Scripts", "Images", "Audio"})
            if (fs::exists(dataDir() / folder))
                fs::copy(dataDir() / folder, dir / folder, fs::copy_options::recursive);
        if (withLevel)
            writeFile(dir / "Levels/Level1.lua", oneLevel());
        stack.registerState<ObservedGameState>(States::Game);
        stack.push(States::Game);
        stack.update(Frame); // builds the screen
    }

    TempDir dir;
    ScopedCwd cwd{dir.path()};
    sf::RenderWindow window{sf::VideoMode(1280, 720), "game screen test"};
    TextureHolder textures;
    MusicPlayer music;
    StateStack stack{State::Context{&window, &textures, &music, nullptr, nullptr}};
};

TEST_F(GameStateScreen, PlaysTheGameThemeAndRunsTheWorld) {
    start(true);
    ASSERT_EQ(stack.size(), 1u);
    ASSERT_NE(ObservedGameState::latest, nullptr);
    if (fs::exists(dir / "Audio/GameTheme.ogg")) {
        const sf::Music* theme = music.getMusic();
        ASSERT_NE(theme, nullptr) << "the tests have a sound device";
        EXPECT_EQ(theme->getStatus(), sf::Music::Playing);
        EXPECT_TRUE(theme->getLoop());
        // The theme is told by its length, which differs from the menu's.
        sf::InputSoundFile game;
        sf::InputSoundFile menu;
        ASSERT_TRUE(game.openFromFile((dir / "Audio/GameTheme.ogg").string()));
        ASSERT_TRUE(menu.openFromFile((dir / "Audio/MenuTheme.ogg").string()));
        ASSERT_NE(game.getDuration(), menu.getDuration());
        EXPECT_EQ(theme->getDuration(), game.getDuration());
    } else
        ADD_FAILURE() << "data/Audio/GameTheme.ogg was not built";
    World& world = ObservedGameState::latest->getWorld();
    EXPECT_TRUE(world.hasLevel());
    EXPECT_EQ(world.getPlayer()->getTank(), nullptr);
    stack.update(Frame);
    EXPECT_NE(world.getPlayer()->getTank(), nullptr) << "the world is updated with the screen";
    window.clear();
    stack.draw();
    window.display();
    EXPECT_EQ(stack.size(), 1u);
}

TEST_F(GameStateScreen, EscapeLeaves) {
    start(true);
    ASSERT_EQ(stack.size(), 1u);
    stack.handleEvent(keyPressed(sf::Keyboard::Left));
    stack.handleEvent(keyPressed(sf::Keyboard::Return));
    EXPECT_EQ(stack.size(), 1u) << "other keys stay";
    stack.handleEvent(keyPressed(sf::Keyboard::Escape));
    EXPECT_TRUE(stack.isEmpty());
    EXPECT_EQ(ObservedGameState::latest, nullptr) << "the screen was destroyed";
}

TEST_F(GameStateScreen, TheGameOverLeavesAtTheEndOfThatUpdate) {
    start(true);
    ASSERT_NE(ObservedGameState::latest, nullptr);
    // Every tank is wrecked as soon as it appears; the screen stays until the player has no
    // tank left and the last one's respawn delay has run out.
    int tanks = 0;
    int updates = 0;
    Tank* current = nullptr;
    while (!stack.isEmpty() && updates < 6000) {
        Player* player = ObservedGameState::latest->getWorld().getPlayer();
        const int livesBefore = player->getLives();
        const bool tankBefore = player->getTank() != nullptr;
        stack.update(Frame);
        ++updates;
        if (stack.isEmpty()) {
            EXPECT_EQ(livesBefore, 0) << "left with lives to spare";
            EXPECT_FALSE(tankBefore) << "left while a tank was still in the scene";
            break;
        }
        Tank* tank = player->getTank();
        if (tank && tank != current)
            ++tanks;
        if (tank && !tank->isDestroyed())
            tank->destroy();
        current = tank;
    }
    EXPECT_TRUE(stack.isEmpty());
    EXPECT_EQ(tanks, 25);
    EXPECT_EQ(ObservedGameState::latest, nullptr);
}

TEST_F(GameStateScreen, WithoutALevelTheScreenLeavesOnItsFirstUpdate) {
    CaptureErrors errors;
    start(false);
    ASSERT_EQ(stack.size(), 1u) << "the screen is built even so";
    EXPECT_FALSE(ObservedGameState::latest->getWorld().hasLevel());
    stack.update(Frame);
    EXPECT_TRUE(stack.isEmpty());
    EXPECT_NE(errors.text().find("Levels/Level1.lua does not exist"), std::string::npos)
        << errors.text();
    EXPECT_NE(errors.text().find("no level can be played"), std::string::npos) << errors.text();
}

} // namespace
