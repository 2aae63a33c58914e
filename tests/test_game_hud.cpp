#include "hud/GameHUD.hpp"

#include "actors/Player.hpp"
#include "core/ResourceHolder.hpp"
#include "world/WorldGlobals.hpp"

#include "TestSupport.hpp"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

namespace {

using namespace testsupport;

// Runs the HUD against a script the test writes, in a scratch folder with a banner picture.
class GameHUDTest : public ::testing::Test {
protected:
    void SetUp() override {
        sf::Image image;
        image.create(100, 20, sf::Color::Green);
        ASSERT_TRUE(image.saveToFile((dir / "banner.png").string()));
        holder.load(Textures::HUDBanner, (dir / "banner.png").string());
        textureHolder = &holder;
        windowSize = {1024, 768};
        previousErr = std::cerr.rdbuf(errors.rdbuf());
    }
    void TearDown() override {
        std::cerr.rdbuf(previousErr);
        textureHolder = nullptr;
    }
    std::unique_ptr<GameHUD> makeHUD(const std::string& script) {
        writeFile(dir / "Scripts/HUDElements.lua", script);
        return std::make_unique<GameHUD>();
    }
    double global(const GameHUD& hud, const char* name) {
        lua_getglobal(hud.getScriptState(), name);
        const double value = lua_tonumber(hud.getScriptState(), -1);
        lua_pop(hud.getScriptState(), 1);
        return value;
    }
    // Runs frames of play for a new player.
    void play(GameHUD& hud, int frames) {
        hud.setPlayer(&player);
        for (int frame = 0; frame < frames; ++frame)
            hud.update(sf::Time::Zero);
    }
    int occurrences(const std::string& text) {
        const std::string all = errors.str();
        int count = 0;
        for (auto at = all.find(text); at != std::string::npos; at = all.find(text, at + 1))
            ++count;
        return count;
    }

    TempDir dir;
    ScopedCwd cwd{dir.path()};
    TextureHolder holder;
    Player player;
    std::ostringstream errors;
    std::streambuf* previousErr = nullptr;
};

const char* const Callbacks = "function init(r) end\nfunction update(l, c) end\n";

TEST_F(GameHUDTest, BannerCoversTheBottomFifthAndInitGetsItsRectangle) {
    auto hud = makeHUD("function init(r) L, T, W, H = r.left, r.top, r.width, r.height end\n"
                       "function update() end\n");
    EXPECT_FLOAT_EQ(hud->getBanner().getPosition().y, 614.4f);
    EXPECT_NEAR(global(*hud, "L"), 0.0, 1e-4);
    EXPECT_NEAR(global(*hud, "T"), 614.4, 1e-3);
    EXPECT_NEAR(global(*hud, "W"), 1024.0, 1e-3);
    EXPECT_NEAR(global(*hud, "H"), 153.6, 1e-3);
    std::vector<sf::FloatRect> rects;
    hud->getBoundingRect(rects);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_NEAR(rects[0].height, 153.6f, 1e-3);
}

TEST_F(GameHUDTest, PositionAndTextureFillTheCornersOfTheNumberedQuad) {
    auto hud = makeHUD(std::string(Callbacks) +
                       "vertex.resize(PlayerHUD, 8)\n"
                       "local r = {left = 10, top = 20, width = 30, height = 40}\n"
                       "assert(vertex.position(PlayerHUD, 2, r) == r)\n"
                       "vertex.texture(PlayerHUD, 1, r)\n");
    const sf::VertexArray& v = hud->getVertices();
    ASSERT_EQ(v.getVertexCount(), 8u);
    EXPECT_EQ(v[4].position, sf::Vector2f(10.f, 20.f));
    EXPECT_EQ(v[5].position, sf::Vector2f(40.f, 20.f));
    EXPECT_EQ(v[6].position, sf::Vector2f(40.f, 60.f));
    EXPECT_EQ(v[7].position, sf::Vector2f(10.f, 60.f));
    EXPECT_EQ(v[0].position, sf::Vector2f(0.f, 0.f)) << "texture leaves positions alone";
    EXPECT_EQ(v[2].texCoords, sf::Vector2f(40.f, 60.f));
    EXPECT_EQ(v[6].texCoords, sf::Vector2f(0.f, 0.f));
    EXPECT_EQ(v[3].color, sf::Color::White);
}

TEST_F(GameHUDTest, NumbersRoundToNearestWithHalvesToEven) {
    auto hud =
        makeHUD(std::string(Callbacks) +
                "vertex.resize(PlayerHUD, 12)\n"
                "vertex.position(PlayerHUD, 1, {left = 0.6, top = 0, width = 0, height = 0})\n"
                "vertex.position(PlayerHUD, 2, {left = 2.5, top = 0, width = 0, height = 0})\n"
                "vertex.position(PlayerHUD, 3, {left = 3.5, top = 0, width = 0, height = 0})\n");
    const sf::VertexArray& v = hud->getVertices();
    EXPECT_EQ(v[0].position.x, 1.f);
    EXPECT_EQ(v[4].position.x, 2.f);
    EXPECT_EQ(v[8].position.x, 4.f);
}

TEST_F(GameHUDTest, RecolorKeepsTheLowEightBitsAndCountsVerticesFromZero) {
    auto hud = makeHUD(std::string(Callbacks) + "vertex.resize(PlayerHUD, 8)\n"
                                                "N = vertex.recolor(PlayerHUD, 0, 4, {255, 0, 0})\n"
                                                "vertex.recolor(PlayerHUD, 4, 1, {256, 513, 7})\n");
    const sf::VertexArray& v = hud->getVertices();
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(v[i].color, sf::Color(255, 0, 0, 255));
    EXPECT_EQ(v[4].color, sf::Color(0, 1, 7, 255));
    EXPECT_EQ(v[5].color, sf::Color::White);
    EXPECT_EQ(global(*hud, "N"), 4.0);
}

TEST_F(GameHUDTest, TypeIsQuadsWhenInitRunsAndUnknownNamesChangeNothing) {
    auto hud = makeHUD("vertex.setType(PlayerHUD, 'Line')\n"
                       "function init(r) A = vertex.setType(PlayerHUD, 'Quads') end\n"
                       "function update() vertex.setType(PlayerHUD, 'TriangleFan') end\n");
    EXPECT_EQ(hud->getVertices().getPrimitiveType(), sf::Quads)
        << "the type set at top level is replaced, and the plural is no type name";
    Player player;
    hud->setPlayer(&player);
    hud->update(sf::Time::Zero);
    EXPECT_EQ(hud->getVertices().getPrimitiveType(), sf::TriangleFan);
}

TEST_F(GameHUDTest, UpdateGetsTheLivesAndTheFourCounters) {
    auto hud = makeHUD("function init(r) end\n"
                       "function update(lives, c) L, R, Y, G, B = lives, c.Red, c.Yellow, "
                       "c.Green, c.Blue end\n");
    Player player;
    player.addColour(0);
    player.addColour(2);
    player.addColour(2);
    player.addColour(3);
    hud->setPlayer(&player);
    hud->update(sf::Time::Zero);
    EXPECT_EQ(global(*hud, "L"), 25.0);
    EXPECT_EQ(global(*hud, "R"), 1.0);
    EXPECT_EQ(global(*hud, "Y"), 0.0);
    EXPECT_EQ(global(*hud, "G"), 2.0);
    EXPECT_EQ(global(*hud, "B"), 1.0);
}

TEST_F(GameHUDTest, BrokenScriptsAreReportedOnceAndTheBannerStays) {
    struct Case {
        const char* script;
        const char* message;
    };
    const Case cases[] = {
        {"this is not lua", "HUDElements.lua"},
        {"function update() end", "no function 'init'"},
        {"function init() end", "no function 'update'"},
        {"function init() end function update() error('boom') end", "boom"},
        {"function init() end function update() vertex.resize({}, 4) end", "must be PlayerHUD"},
        {"function init() vertex.resize(PlayerHUD, 4) end\n"
         "function update() vertex.position(PlayerHUD, 2, {left = 1, top = 1, width = 1, "
         "height = 1}) end",
         "quad 2 is outside"},
        {"function init() vertex.resize(PlayerHUD, 4) end\n"
         "function update() vertex.position(PlayerHUD, 1, {left = 1}) end",
         "no number 'top'"},
        {"function init() vertex.resize(PlayerHUD, 4) end\n"
         "function update() vertex.recolor(PlayerHUD, 2, 5, {1, 2, 3}) end",
         "outside the 4 vertices"},
        {"function init() vertex.resize(PlayerHUD, -1) end function update() end", "cannot resize"},
        {"function init() end\n"
         "setmetatable(_G, {__index = function() error('trap') end})",
         "no function 'update'"},
        // Reading the rectangle runs the script's code, which empties the array first.
        {"function init() vertex.resize(PlayerHUD, 4) end\n"
         "function update() vertex.texture(PlayerHUD, 1, setmetatable({}, {__index = function()\n"
         "  vertex.resize(PlayerHUD, 0) return 1 end})) end",
         "quad 1 is outside the 0 vertices"},
        // Ways out of the budget: whatever catches its error passes it on, and no library
        // function loops where the budget cannot see it.
        {"function init() end function update()\n"
         "  while true do pcall(function() while true do end end) end end",
         "ran too long"},
        {"function init() end function update()\n"
         "  while true do xpcall(function() while true do end end, function(m) return m end) end\n"
         "end",
         "ran too long"},
        {"function init() end function update()\n"
         "  while true do coroutine.resume(coroutine.create(function() while true do end end)) "
         "end\n"
         "end",
         "ran too long"},
        {"function init() end function update()\n"
         "  while true do load(function() while true do end end) end end",
         "ran too long"},
        // The compiler resolves 32,000 gotos to one label in one step of over a second.
        {"function init() end function update()\n"
         "  assert(load(string.rep('goto a ', 32000) .. '::a::')) end",
         "longer than 65536 bytes"},
        {"function init() end function update() string.rep('', 2^52) error('rep is back') end",
         "rep is back"},
        {"function init() end\n"
         "function update() string.find(string.rep('a', 40), string.rep('a*', 20) .. 'b') end",
         "find"},
        {"function init() end\n"
         "function update() string.match(string.rep('a', 40), string.rep('a*', 20) .. 'b') end",
         "match"},
        {"function init() end\n"
         "function update() for m in string.gmatch(string.rep('a', 40), string.rep('a*', 20) .. "
         "'b')"
         " do end end",
         "gmatch"},
        {"function init() end\n"
         "function update() string.gsub(string.rep('a', 40), string.rep('a*', 20) .. 'b', '') end",
         "gsub"},
    };
    for (const Case& c : cases) {
        errors.str("");
        auto hud = makeHUD(c.script);
        Player player;
        hud->setPlayer(&player);
        for (int frame = 0; frame < 3; ++frame)
            hud->update(sf::Time::Zero);
        EXPECT_EQ(occurrences("\n"), 1) << "one message, not one a frame:\n" << errors.str();
        EXPECT_EQ(errors.str().rfind("Scripts/HUDElements.lua: ", 0), 0u) << errors.str();
        EXPECT_GE(occurrences(c.message), 1) << c.script << "\n" << errors.str();
        EXPECT_NEAR(hud->getBanner().getGlobalBounds().height, 153.6f, 1e-3);
    }
}

TEST_F(GameHUDTest, AChunkThatFailsLateStillHasItsInitAndUpdateCalled) {
    auto hud = makeHUD("function init() Inits = (Inits or 0) + 1 end\n"
                       "function update(lives) Lives = lives end\n"
                       "error('something after the functions')\n");
    play(*hud, 2);
    EXPECT_EQ(global(*hud, "Inits"), 1.0);
    EXPECT_EQ(global(*hud, "Lives"), 25.0);
    EXPECT_EQ(occurrences("something after the functions"), 1) << errors.str();
    EXPECT_EQ(occurrences("\n"), 1) << errors.str();
}

TEST_F(GameHUDTest, AScriptThatKeepsFailingIsCutShortAndThenNoLongerCalled) {
    // A new, long message every frame.
    auto hud = makeHUD("function init() end\n"
                       "function update() Calls = (Calls or 0) + 1\n"
                       "  error(Calls .. string.rep('x', 100000)) end\n");
    play(*hud, 40);
    EXPECT_EQ(global(*hud, "Calls"), 10.0);
    EXPECT_EQ(occurrences("\n"), 11) << "ten failures and the word that the HUD gives up";
    EXPECT_LT(errors.str().size(), 11u * 400u);
    EXPECT_EQ(occurrences("no longer called"), 1) << errors.str();
}

TEST_F(GameHUDTest, MissingScriptIsReportedOnce) {
    auto hud = std::make_unique<GameHUD>();
    Player player;
    hud->setPlayer(&player);
    hud->update(sf::Time::Zero);
    hud->update(sf::Time::Zero);
    EXPECT_EQ(occurrences("cannot open"), 1) << errors.str();
}

TEST_F(GameHUDTest, EndlessUpdateIsStoppedAndNotCalledAgain) {
    auto hud = makeHUD("function init() end\nfunction update() Calls = (Calls or 0) + 1 "
                       "while true do end end\n");
    Player player;
    hud->setPlayer(&player);
    hud->update(sf::Time::Zero);
    hud->update(sf::Time::Zero);
    EXPECT_EQ(global(*hud, "Calls"), 1.0);
    EXPECT_EQ(occurrences("ran too long"), 1);
}

TEST_F(GameHUDTest, EndlessAllocationIsStopped) {
    auto hud = makeHUD("function init() local t = {} while true do t[#t + 1] = {} end end\n"
                       "function update() end\n");
    EXPECT_EQ(occurrences("too much memory"), 1) << errors.str();
}

} // namespace
