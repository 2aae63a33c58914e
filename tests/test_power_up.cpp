#include "actors/Objects.hpp"
#include "actors/Player.hpp"
#include "actors/PowerUp.hpp"
#include "actors/Tank.hpp"
#include "core/CommandQueue.hpp"
#include "core/LuaState.hpp"

#include "ActorTestSupport.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <sstream>

namespace {

using actortest::ScopedTextures;
using actortest::ScopedWorldSize;
using actortest::SoundCounter;
using testsupport::ScopedCwd;
using testsupport::TempDir;

const char* const FourTokens = R"(
local sheet = {}
for i = 1, 3 do
  sheet[i] = { left = (i - 1) * 32, top = 0, width = 32, height = 32 }
end
sheet[4] = { left = 96, top = 2, width = 24 } -- no height
return "not this one", sheet
)";

// Captures the error stream while it lives.
class CerrCapture {
public:
    CerrCapture() : previous(std::cerr.rdbuf(text.rdbuf())) {}
    ~CerrCapture() { std::cerr.rdbuf(previous); }
    std::string str() const { return text.str(); }

private:
    std::ostringstream text;
    std::streambuf* previous;
};

class PowerUpTest : public ::testing::Test {
protected:
    PowerUpTest() : cwd(dir.path()) {
        while (!commandQueue().isEmpty())
            commandQueue().pop();
        writeScript(FourTokens);
    }
    void writeScript(const std::string& text) {
        testsupport::writeFile(dir / "Scripts/PowerUps.lua", text);
    }
    // Delivers what the power-ups queued to a player, as the world would.
    std::array<int, 4> deliveredColours() {
        Player player;
        while (!commandQueue().isEmpty())
            player.onCommand(commandQueue().pop(), sf::Time::Zero);
        return player.getColours();
    }
    // What a broken script gives: an empty token, and the message on the first one only.
    void expectEmptyTokenReported(const std::string& problem, int kind = 1) {
        CerrCapture cerr;
        PowerUp first(kind);
        EXPECT_EQ(first.getPictureRect(), sf::IntRect());
        EXPECT_EQ(first.getSize(), sf::Vector2f());
        const std::string message = cerr.str();
        EXPECT_NE(message.find("Scripts/PowerUps.lua"), std::string::npos) << message;
        EXPECT_NE(message.find(problem), std::string::npos) << message;
        PowerUp second(kind);
        EXPECT_EQ(cerr.str(), message) << "told once, not for every power-up";
    }

    TempDir dir;
    ScopedCwd cwd;
    ScopedTextures textures;
    ScopedWorldSize world{1000.f, 600.f};
};

TEST_F(PowerUpTest, ReadsItsPictureFromTheScriptEntryOfItsKind) {
    PowerUp token(1);
    EXPECT_EQ(token.getPictureRect(), sf::IntRect(32, 0, 32, 32));
    EXPECT_EQ(token.getSize(), sf::Vector2f(32.f, 32.f));
    EXPECT_EQ(token.getKindOfPowerUp(), 1);
    EXPECT_EQ(token.getCategory(), 32u);
    EXPECT_TRUE(token.isCollidable());
    EXPECT_EQ(token.getVelocity(), sf::Vector2f(0.f, -100.f));
    EXPECT_EQ(PowerUp(3).getPictureRect(), sf::IntRect(96, 2, 24, 0)) << "missing field reads 0";
}

TEST_F(PowerUpTest, EveryPowerUpReadsTheScriptAfresh) {
    EXPECT_EQ(PowerUp(0).getPictureRect(), sf::IntRect(0, 0, 32, 32));
    writeScript("return { { left = 5, top = 6, width = 7, height = 8 } }");
    EXPECT_EQ(PowerUp(0).getPictureRect(), sf::IntRect(5, 6, 7, 8));
}

TEST_F(PowerUpTest, SpawnStandsTheTokenOnThePointAndPlaysTheKeySound) {
    SoundCounter sounds;
    Objects objects;
    EXPECT_EQ(objects.getCategory(), 64u);
    objects.spawn(1, 100.f, 300.f);
    ASSERT_EQ(objects.getChildren().size(), 1u);
    const SceneNode& token = *objects.getChildren().front();
    EXPECT_EQ(token.getPosition(), sf::Vector2f(100.f, 268.f));
    EXPECT_EQ(sounds.started(), 1u);

    objects.setPosition(0.f, 10.f);
    std::vector<sf::FloatRect> rects;
    token.getBoundingRect(rects);
    ASSERT_EQ(rects.size(), 2u) << "a body and a bottom probe only";
    EXPECT_EQ(rects[0], sf::FloatRect(100.f, 278.f, 32.f, 32.f));
    EXPECT_EQ(rects[1], rects[0]);
}

TEST_F(PowerUpTest, RisesThenRestsOnTheFloor) {
    PowerUp token(1, 100.f, 300.f);
    token.update(sf::milliseconds(50)); // speed -100 + 75
    EXPECT_FLOAT_EQ(token.getPosition().y, 266.75f);
    for (int i = 0; i < 120; ++i)
        token.update(sf::milliseconds(16));
    EXPECT_FLOAT_EQ(token.getPosition().y, 568.f);
    EXPECT_FLOAT_EQ(token.getVelocity().y, 0.f);
}

TEST_F(PowerUpTest, TankPickupFillsTheCounterOfTheKindsTable) {
    SoundCounter sounds;
    Tank tank;
    std::vector<std::unique_ptr<PowerUp>> tokens;
    for (int kind = 0; kind < 4; ++kind) {
        tokens.push_back(std::make_unique<PowerUp>(kind));
        tokens.back()->onTouch(tank);
        EXPECT_TRUE(tokens.back()->isMarkedForRemoval());
        EXPECT_FALSE(tokens.back()->isDestroyed()) << "the floor still holds it";
    }
    tokens.front()->onTouch(tank);
    EXPECT_EQ(sounds.started(), 4u) << "a token is picked up once";
    EXPECT_EQ(deliveredColours(), (std::array<int, 4>{1, 1, 1, 1}));

    PowerUp blue(2);
    blue.onTouch(tank);
    EXPECT_EQ(deliveredColours(), (std::array<int, 4>{0, 0, 0, 1})) << "kind 2 fills counter 3";
    PowerUp green(3);
    green.onTouch(tank);
    EXPECT_EQ(deliveredColours(), (std::array<int, 4>{0, 0, 1, 0})) << "kind 3 fills counter 2";
}

TEST_F(PowerUpTest, OnlyTheTankPicksUpAndUnknownKindsStay) {
    SoundCounter sounds;
    PowerUp token(0);
    PowerUp other(1);
    SceneNode tankAndAnimal;
    tankAndAnimal.setCategory(Category::Tank | Category::Animal);
    token.onTouch(other);
    token.onTouch(tankAndAnimal);
    EXPECT_FALSE(token.isMarkedForRemoval());
    EXPECT_EQ(sounds.started(), 0u);

    Tank tank;
    PowerUp strange(5);
    strange.onTouch(tank);
    strange.onTouch(tank);
    EXPECT_EQ(sounds.started(), 2u);
    EXPECT_FALSE(strange.isMarkedForRemoval());
    EXPECT_EQ(deliveredColours(), (std::array<int, 4>{0, 0, 0, 0}));
}

TEST_F(PowerUpTest, UnreadableScriptOrEntryGivesAnEmptyTokenAndOneMessage) {
    struct Case {
        const char* script; // null: no script file at all
        int kind;
        const char* problem;
    };
    const Case cases[] = {
        {nullptr, 1, "cannot"},
        {"return { {left = 1, }\n", 1, "cannot be used"},
        {"while true do end", 1, "ran too long"},
        {"local t = {} while true do t[#t + 1] = {} end", 1, "too much memory"},
        {"error('token sheet went missing')", 1, "token sheet went missing"},
        {"return 42", 1, "instead of a table"},
        {"local x = 1", 1, "returns nothing"},
        {"return { [1] = { left = 1, top = 1, width = 1, height = 1 } }", 1, "key 2"},
        {"return setmetatable({}, { __index = function() error('trap') end })", 2, "key 3"},
        {"return { 'a', 'b' }", 1, "string"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script ? c.script : "no script");
        if (c.script)
            writeScript(c.script);
        else
            std::filesystem::remove(dir / "Scripts/PowerUps.lua");
        expectEmptyTokenReported(c.problem, c.kind);
    }
}

// Every power-up reads the script, so one that never ends would hold the game for a whole budget
// per token; until the file changes it is not run again.
TEST_F(PowerUpTest, AScriptStoppedOnceIsNotRunAgainUntilItChanges) {
    writeScript("while true do end");
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(PowerUp(1).getPictureRect(), sf::IntRect());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2 * LuaState::TimeLimit)
        << "three tokens held the game for one budget, not three";
    writeScript("return { {}, { left = 1, top = 2, width = 3, height = 4 } }");
    EXPECT_EQ(PowerUp(1).getPictureRect(), sf::IntRect(1, 2, 3, 4)) << "the mended file is read";
}

TEST_F(PowerUpTest, FieldThatIsNoNumberReadsAsZero) {
    writeScript("return { {}, { left = 'wide', top = 3, width = 4, height = 5 } }");
    CerrCapture cerr;
    EXPECT_EQ(PowerUp(1).getPictureRect(), sf::IntRect(0, 3, 4, 5));
    EXPECT_NE(cerr.str().find("'left'"), std::string::npos) << cerr.str();
}

} // namespace
