#include "world/Platform.hpp"

#include "actors/Tank.hpp"
#include "world/Block.hpp"
#include "world/Portal.hpp"
#include "world/PowerBlock.hpp"
#include "world/Spawner.hpp"

#include "LevelTestSupport.hpp"

#include <SFML/Graphics/RenderTexture.hpp>
#include <gtest/gtest.h>

#include <functional>
#include <typeinfo>

namespace {

using leveltest::GameFolder;
using leveltest::StreamCapture;
using leveltest::TestActor;
using leveltest::writeGrid;
using leveltest::writeLevel;

// Cell index in a 30-column map.
int cell(int row, int column) {
    return row * 30 + column;
}

// ---------------------------------------------------------------------------------------------
// Grid size and layout

TEST(PlatformSizeTest, CellsAreAThirtiethOfTheWindowInWholePixels) {
    GameFolder folder(1280);
    writeGrid(1, 30, 100, {});
    Platform platform;
    ASSERT_TRUE(platform.loadLevel(1));
    EXPECT_EQ(platform.getTileSize(), sf::Vector2f(42.f, 23.625f));
    EXPECT_EQ(platform.getMapSize(), sf::Vector2f(1260.f, 2362.5f));
}

TEST(PlatformSizeTest, OtherWindowWidths) {
    GameFolder folder;
    writeGrid(1, 30, 10, {});
    const std::vector<std::tuple<unsigned, sf::Vector2f, sf::Vector2f>> cases = {
        {1920, {64.f, 36.f}, {1920.f, 360.f}},
        {1366, {45.f, 25.3125f}, {1350.f, 253.125f}},
        {800, {26.f, 14.625f}, {780.f, 146.25f}},
    };
    for (const auto& [width, tile, map] : cases) {
        windowSize = {width, 600};
        Platform platform;
        ASSERT_TRUE(platform.loadLevel(1));
        EXPECT_EQ(platform.getTileSize(), tile) << width;
        EXPECT_EQ(platform.getMapSize(), map) << width;
    }
}

TEST(PlatformLoadTest, BuildsOneQuadPerBlockAtItsCell) {
    GameFolder folder;
    // 3 x 2: tile 1, empty, tile 11 / empty, power block, empty.
    writeLevel(4, leveltest::levelScript(3, 2, {1, 0, 11, 0, 5, 0}, {0, 1, 0, 0, 1, 0}));
    Platform platform;
    ASSERT_TRUE(platform.loadLevel(4));
    EXPECT_EQ(platform.getGridSize(), sf::Vector2f(3.f, 2.f));
    EXPECT_EQ(platform.getSolidCells(), (std::vector<int>{0, 2, 4}));
    EXPECT_EQ(platform.getMarkedCells(), (std::vector<int>{1, 4}));
    ASSERT_EQ(platform.getVertices().getVertexCount(), 12u);
    EXPECT_EQ(platform.getBlock(1), nullptr);

    Block* eleven = platform.getBlock(2);
    ASSERT_NE(eleven, nullptr);
    EXPECT_EQ(eleven->getTileNumber(), 11);
    EXPECT_EQ(eleven->getQuadIndex(), 1);
    EXPECT_EQ(eleven->getQuad(), &platform.getVertices()[4]);
    const sf::Vertex* quad = eleven->getQuad();
    EXPECT_EQ(quad[0].position, sf::Vector2f(128.f, 0.f));
    EXPECT_EQ(quad[1].position, sf::Vector2f(192.f, 0.f));
    EXPECT_EQ(quad[2].position, sf::Vector2f(192.f, 36.f));
    EXPECT_EQ(quad[3].position, sf::Vector2f(128.f, 36.f));
    // Tile 11 is the first picture of the second row of the sheet.
    EXPECT_EQ(quad[0].texCoords, sf::Vector2f(0.f, 36.f));
    EXPECT_EQ(quad[2].texCoords, sf::Vector2f(64.f, 72.f));

    Block* power = platform.getBlock(4);
    ASSERT_NE(dynamic_cast<PowerBlock*>(power), nullptr);
    EXPECT_EQ(power->getRow(), 1);
    EXPECT_EQ(power->getColumn(), 1);
    EXPECT_EQ(power->getQuad()[0].position, sf::Vector2f(64.f, 36.f));
}

TEST(PlatformLoadTest, EveryTileNumberMakesItsBlockClass) {
    GameFolder folder;
    writeLevel(1, leveltest::levelScript(6, 1, {4, 5, 6, 9, 10, 42}, {0, 0, 0, 0, 0, 0}));
    Platform platform;
    ASSERT_TRUE(platform.loadLevel(1));
    auto type = [&](int index) -> const std::type_info& {
        const Block& block = *platform.getBlock(index);
        return typeid(block);
    };
    EXPECT_EQ(type(0), typeid(Block));
    EXPECT_EQ(type(1), typeid(PowerBlock));
    EXPECT_EQ(type(2), typeid(Spawner));
    EXPECT_EQ(type(3), typeid(Spawner));
    EXPECT_EQ(type(4), typeid(Portal));
    EXPECT_EQ(type(5), typeid(Block));
    // The two spawners announce themselves to the opponent.
    const auto commands = leveltest::takeCommands();
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].category, Category::Opponent);
}

TEST(PlatformLoadTest, NumericStringsAreNumbers) {
    GameFolder folder;
    writeLevel(1, "return { layers = { { width = '3', height = ' 0x2 ', data = { '5', 0, '1e1', "
                  "'7' } }, { data = { 0, '1', 0, 0 } } } }");
    Platform platform;
    ASSERT_TRUE(platform.loadLevel(1));
    EXPECT_EQ(platform.getGridSize(), sf::Vector2f(3.f, 2.f));
    EXPECT_EQ(platform.getSolidCells(), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(platform.getMarkedCells(), (std::vector<int>{1}));
    EXPECT_NE(dynamic_cast<PowerBlock*>(platform.getBlock(0)), nullptr);
    EXPECT_NE(dynamic_cast<Portal*>(platform.getBlock(2)), nullptr);
    EXPECT_NE(dynamic_cast<Spawner*>(platform.getBlock(3)), nullptr);
    leveltest::takeCommands();
}

TEST(PlatformLoadTest, AnEmptyMapHasNoQuadsAndActorsFallThrough) {
    GameFolder folder;
    writeGrid(1, 30, 10, {});
    Platform platform;
    ASSERT_TRUE(platform.loadLevel(1));
    EXPECT_EQ(platform.getVertices().getVertexCount(), 0u);
    EXPECT_TRUE(platform.getSolidCells().empty());
    TestActor actor;
    actor.setPosition(100.f, 100.f);
    actor.setVelocity(0.f, 300.f);
    std::set<SceneNode::Pair> pairs;
    platform.checkNodeCollision(actor, pairs);
    EXPECT_EQ(actor.getPosition(), sf::Vector2f(100.f, 100.f));
    EXPECT_EQ(actor.getVelocity().y, 300.f);
    EXPECT_FALSE(actor.isGrounded());
}

TEST(PlatformLoadTest, ShortDataReadsTheMissingCellsAsEmpty) {
    GameFolder folder;
    writeLevel(1, leveltest::levelScript(4, 2, {1, 2, 3}, {1}));
    Platform platform;
    ASSERT_TRUE(platform.loadLevel(1));
    EXPECT_EQ(platform.getSolidCells(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(platform.getMarkedCells(), (std::vector<int>{0}));
    EXPECT_EQ(platform.getMapSize(), sf::Vector2f(256.f, 72.f));
}

TEST(PlatformLoadTest, OnlyTheLastResultOfTheScriptCounts) {
    GameFolder folder;
    // Far more results than the interpreter's stack starts with, the level last.
    writeLevel(1, "local level = (function() " + leveltest::levelScript(2, 1, {7, 1}, {0, 1}) +
                      " end)()\nlocal many = {}\nfor i = 1, 50000 do many[i] = i end\n"
                      "many[#many + 1] = level\nreturn table.unpack(many)\n");
    Platform platform;
    ASSERT_TRUE(platform.loadLevel(1));
    EXPECT_EQ(platform.getSolidCells(), (std::vector<int>{0, 1}));
    EXPECT_EQ(platform.getBlock(0)->getTileNumber(), 7);
}

TEST(PlatformLoadTest, DrawsTheTilesFromTheSheet) {
    GameFolder folder(300);
    // Picture 1 red, picture 2 blue on a 640 x 72 sheet.
    sf::Image sheet;
    sheet.create(640, 72, sf::Color::Black);
    for (unsigned y = 0; y < 36; ++y)
        for (unsigned x = 0; x < 128; ++x)
            sheet.setPixel(x, y, x < 64 ? sf::Color::Red : sf::Color::Blue);
    ASSERT_TRUE(sheet.saveToFile("Images/Objects.png"));
    writeLevel(1, leveltest::levelScript(3, 1, {1, 0, 2}, {0, 0, 0}));
    Platform platform;
    ASSERT_TRUE(platform.loadLevel(1));

    sf::RenderTexture target;
    ASSERT_TRUE(target.create(30, 10));
    target.clear(sf::Color::Green);
    target.draw(platform);
    target.display();
    const sf::Image shot = target.getTexture().copyToImage();
    // Tiles are 10 x 5.625: red in cell 0, nothing in cell 1, blue in cell 2.
    EXPECT_EQ(shot.getPixel(5, 2), sf::Color::Red);
    EXPECT_EQ(shot.getPixel(15, 2), sf::Color::Green);
    EXPECT_EQ(shot.getPixel(25, 2), sf::Color::Blue);
    EXPECT_EQ(shot.getPixel(5, 8), sf::Color::Green);
}

// Only the rows in view are drawn, and the row whose block hops up into view from below it; the
// picture is the one the whole map gives.
TEST(PlatformLoadTest, DrawsTheRowsInViewAndABlockHoppingIntoIt) {
    GameFolder folder(480);
    // Cells 16 x 9, three columns: blocks above the view (row 0), in it (row 4), just below it
    // (row 6) and far below it (row 9).
    writeLevel(1, leveltest::levelScript(3, 10, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1,
                                                 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1},
                                         std::vector<int>(30, 0)));
    Platform platform;
    ASSERT_TRUE(platform.loadLevel(1));
    platform.bump(platform.getBlock(19));
    platform.update(sf::seconds(1.f / 60.f));
    platform.update(sf::seconds(1.f / 60.f)); // 4 pixels up, 2 of them above the view's bottom
    sf::Texture tiles;
    ASSERT_TRUE(tiles.loadFromFile("Images/Objects.png"));
    tiles.setSmooth(true);

    sf::RenderTexture target;
    ASSERT_TRUE(target.create(48, 34));
    target.setView(sf::View(sf::FloatRect(0.f, 18.f, 48.f, 34.f)));
    const auto picture = [&target](const std::function<void()>& draw) {
        target.clear(sf::Color::Green);
        draw();
        target.display();
        return target.getTexture().copyToImage();
    };
    const sf::Image inView = picture([&] { target.draw(platform); });
    const sf::Image whole = picture([&] { target.draw(platform.getVertices(), &tiles); });
    EXPECT_NE(whole.getPixel(24, 33), sf::Color::Green) << "the hopping block shows";
    for (unsigned y = 0; y < 34; ++y)
        for (unsigned x = 0; x < 48; ++x)
            ASSERT_EQ(inView.getPixel(x, y), whole.getPixel(x, y)) << "at " << x << ", " << y;
}

// ---------------------------------------------------------------------------------------------
// Level files that cannot be used

class BadLevelTest : public ::testing::Test {
protected:
    // Loads level 3 after a good level 1, so a failed load must also clear the old blocks.
    std::string failedLoad(const std::function<void()>& beforeLoad = {}) {
        writeGrid(1, 30, 2, {{5, 1}, {6, 6}});
        EXPECT_TRUE(platform.loadLevel(1));
        if (beforeLoad)
            beforeLoad();
        StreamCapture err(std::cerr);
        const bool loaded = platform.loadLevel(3);
        EXPECT_FALSE(loaded);
        EXPECT_TRUE(platform.getSolidCells().empty());
        EXPECT_EQ(platform.getVertices().getVertexCount(), 0u);
        EXPECT_EQ(platform.getBlock(5), nullptr);
        EXPECT_EQ(platform.getMapSize(), sf::Vector2f(0.f, 0.f));
        const std::string text = err.str();
        EXPECT_NE(text.find("Levels/Level3.lua"), std::string::npos) << text;
        return text;
    }
    void writeLayers(const std::string& layerOne, const std::string& layerTwo = "{ data = {} }") {
        writeLevel(3, "return { layers = { " + layerOne + ", " + layerTwo + " } }");
    }

    GameFolder folder;
    Platform platform;
};

TEST_F(BadLevelTest, MissingFile) {
    EXPECT_NE(failedLoad().find("cannot be loaded"), std::string::npos);
}

TEST_F(BadLevelTest, SyntaxError) {
    writeLevel(3, "return { layers = ");
    EXPECT_NE(failedLoad().find("cannot be loaded"), std::string::npos);
}

TEST_F(BadLevelTest, ErrorWhileRunning) {
    writeLevel(3, "error('the map is haunted')");
    const std::string text = failedLoad();
    EXPECT_NE(text.find("fails to run"), std::string::npos) << text;
    EXPECT_NE(text.find("the map is haunted"), std::string::npos) << text;
}

TEST_F(BadLevelTest, ErrorThatIsNotAText) {
    writeLevel(3, "error({})");
    EXPECT_NE(failedLoad().find("fails to run"), std::string::npos);
}

TEST_F(BadLevelTest, EndlessLoop) {
    writeLevel(3, "while true do end");
    const std::string text = failedLoad();
    EXPECT_NE(text.find("ran too long"), std::string::npos) << text;
}

TEST_F(BadLevelTest, RunawayMemory) {
    writeLevel(3, "local s = string.rep('x', 300 * 1024 * 1024) return s");
    const std::string text = failedLoad();
    EXPECT_NE(text.find("too much memory"), std::string::npos) << text;
}

TEST_F(BadLevelTest, ThousandsOfGotosThatWouldHoldTheCompiler) {
    // The compiler takes each goto off its list of open ones by shifting the list.
    std::string jumps;
    for (int i = 0; i < 5000; ++i)
        jumps += "goto a ";
    writeLevel(3, "do return {} end " + jumps + "::a::");
    EXPECT_NE(failedLoad().find("cannot be loaded: it has more than 1000 gotos"),
              std::string::npos);
}

TEST_F(BadLevelTest, ReturnsNothing) {
    writeLevel(3, "local x = 1");
    EXPECT_NE(failedLoad().find("returns nothing"), std::string::npos);
}

TEST_F(BadLevelTest, ReturnsSomethingElseThanATable) {
    writeLevel(3, "return { layers = {} }, 'last'");
    EXPECT_NE(failedLoad().find("does not return a table"), std::string::npos);
}

TEST_F(BadLevelTest, NoLayers) {
    // An index metamethod that raises an error must not be called.
    writeLevel(3, "return setmetatable({}, { __index = function() error('trap') end })");
    EXPECT_NE(failedLoad().find("has no layers table"), std::string::npos);
}

TEST_F(BadLevelTest, OneLayer) {
    writeLevel(3, "return { layers = { { width = 2, height = 1, data = { 1, 1 } } } }");
    EXPECT_NE(failedLoad().find("fewer than two layers"), std::string::npos);
}

TEST_F(BadLevelTest, ZeroWidth) {
    writeLayers("{ width = 0, height = 4, data = {} }");
    EXPECT_NE(failedLoad().find("width is not a positive number"), std::string::npos);
}

TEST_F(BadLevelTest, NegativeHeight) {
    writeLayers("{ width = 3, height = -4, data = {} }");
    EXPECT_NE(failedLoad().find("height is not a positive number"), std::string::npos);
}

TEST_F(BadLevelTest, WidthThatIsNotANumber) {
    writeLayers("{ width = '30 wide', height = 4, data = {} }");
    EXPECT_NE(failedLoad().find("width is not a positive number"), std::string::npos);
}

TEST_F(BadLevelTest, MissingHeight) {
    writeLayers("{ width = 30, data = {} }");
    EXPECT_NE(failedLoad().find("height is not a positive number"), std::string::npos);
}

TEST_F(BadLevelTest, HugeWidth) {
    writeLayers("{ width = 1e300, height = 1, data = {} }");
    EXPECT_NE(failedLoad().find("width is absurdly large"), std::string::npos);
}

TEST_F(BadLevelTest, MoreThanAMillionCells) {
    writeLayers("{ width = 2000, height = 1000, data = {} }");
    EXPECT_NE(failedLoad().find("more than a million"), std::string::npos);
}

TEST_F(BadLevelTest, BlocksThatWouldTakeTooMuchMemory) {
    // A few lines asking for twenty thousand spawners, about 100 MB.
    writeLevel(3, "local d = {} for i = 1, 20000 do d[i] = 6 end\n"
                  "return { layers = { { width = 100, height = 200, data = d }, { data = {} } } }");
    const std::string text = failedLoad([] { leveltest::takeCommands(); });
    EXPECT_NE(text.find("MB a level may use"), std::string::npos) << text;
    EXPECT_TRUE(leveltest::takeCommands().empty()) << "no spawner was built";
}

TEST_F(BadLevelTest, ScriptThatEscapesItsBudget) {
    for (const char* escape :
         {"while true do pcall(function() while true do end end) end",
          "string.rep('', 2^52) while true do end",
          "string.find(string.rep('a', 40), string.rep('a*', 20) .. 'b') while true do end"}) {
        writeLevel(3, escape);
        const std::string text = failedLoad();
        EXPECT_NE(text.find("fails to run"), std::string::npos) << escape << "\n" << text;
    }
}

TEST_F(BadLevelTest, NoTileData) {
    writeLayers("{ width = 2, height = 1 }");
    EXPECT_NE(failedLoad().find("layer 1 has no data array"), std::string::npos);
}

TEST_F(BadLevelTest, NoMarkerData) {
    writeLayers("{ width = 2, height = 1, data = { 1, 1 } }", "{ name = 'Keys' }");
    EXPECT_NE(failedLoad().find("layer 2 has no data array"), std::string::npos);
}

TEST_F(BadLevelTest, TileThatIsNotANumber) {
    writeLayers("{ width = 2, height = 1, data = { 1, 'rock' } }");
    EXPECT_NE(failedLoad().find("layer 1 data entry 2 is not a tile number"), std::string::npos);
}

TEST_F(BadLevelTest, MarkerOutOfRange) {
    writeLayers("{ width = 2, height = 1, data = { 1, 1 } }", "{ data = { 0, 1e20 } }");
    EXPECT_NE(failedLoad().find("layer 2 data entry 2 is not a tile number"), std::string::npos);
}

TEST_F(BadLevelTest, WindowTooNarrowForCells) {
    writeGrid(3, 30, 2, {{0, 1}});
    const std::string text = failedLoad([] { windowSize = {20, 20}; });
    EXPECT_NE(text.find("narrower than 30 pixels"), std::string::npos) << text;
}

// ---------------------------------------------------------------------------------------------
// Tile collision. A 1920-pixel window makes cells of 64 x 36; the test block sits in row 5,
// column 3: x 192 to 256, y 180 to 216.

class TileCollisionTest : public ::testing::Test {
protected:
    void load(const std::vector<std::pair<int, int>>& blocks) {
        writeGrid(1, 30, 10, blocks);
        ASSERT_TRUE(platform.loadLevel(1));
        leveltest::drainQueue();
    }
    void collide(SceneNode& actor) {
        std::set<SceneNode::Pair> pairs;
        platform.checkNodeCollision(actor, pairs);
        EXPECT_TRUE(pairs.empty());
    }

    GameFolder folder;
    Platform platform;
};

TEST_F(TileCollisionTest, FeetOnABlockLandTheActorOnItsTop) {
    load({{cell(5, 3), 1}});
    TestActor actor;
    actor.setPosition(200.f, 125.f); // feet 175..185
    actor.setVelocity(30.f, 300.f);
    collide(actor);
    EXPECT_EQ(actor.getPosition(), sf::Vector2f(200.f, 120.f));
    EXPECT_EQ(actor.getVelocity(), sf::Vector2f(30.f, 0.f));
    EXPECT_TRUE(actor.isGrounded());
}

TEST_F(TileCollisionTest, FeetAndOneSideStillLand) {
    load({{cell(5, 3), 1}});
    TestActor actor;
    actor.setPosition(240.f, 135.f); // feet and left half on the block, right half past it
    collide(actor);
    EXPECT_EQ(actor.getPosition(), sf::Vector2f(240.f, 120.f));
    EXPECT_TRUE(actor.isGrounded());
}

TEST_F(TileCollisionTest, FeetAndBothSidesStillLand) {
    load({{cell(5, 3), 1}});
    TestActor actor;
    actor.setPosition(210.f, 135.f);
    collide(actor);
    EXPECT_EQ(actor.getPosition(), sf::Vector2f(210.f, 120.f));
}

TEST_F(TileCollisionTest, HeadUnderABlockStopsTheActorBelowIt) {
    load({{cell(5, 3), 1}});
    TestActor actor;
    actor.setPosition(200.f, 210.f); // head 210..220
    actor.setVelocity(10.f, -400.f);
    collide(actor);
    EXPECT_EQ(actor.getPosition(), sf::Vector2f(200.f, 216.f));
    EXPECT_EQ(actor.getVelocity(), sf::Vector2f(10.f, 0.f));
    // Only the tank sets a block hopping.
    EXPECT_EQ(platform.getBumpStep(platform.getBlock(cell(5, 3))), -1);
}

TEST_F(TileCollisionTest, TankHeadUnderABlockBumpsIt) {
    load({{cell(5, 3), 1}});
    Tank tank;
    tank.setPosition(200.f, 210.f);
    tank.setVelocity(0.f, -500.f);
    collide(tank);
    EXPECT_EQ(tank.getPosition(), sf::Vector2f(200.f, 216.f));
    EXPECT_EQ(tank.getVelocity().y, 0.f);
    EXPECT_EQ(platform.getBumpStep(platform.getBlock(cell(5, 3))), 0);
}

TEST_F(TileCollisionTest, LeftHalfAloneIsPushedToTheBlocksRightEdge) {
    load({{cell(5, 3), 1}});
    TestActor actor;
    actor.setPosition(250.f, 160.f);
    actor.setVelocity(-200.f, 50.f);
    actor.setAcceleration(-900.f, 1500.f);
    collide(actor);
    EXPECT_EQ(actor.getPosition(), sf::Vector2f(256.f, 160.f));
    EXPECT_EQ(actor.getVelocity(), sf::Vector2f(0.f, 50.f));
    EXPECT_EQ(actor.getAcceleration(), sf::Vector2f(0.f, 1500.f));
}

TEST_F(TileCollisionTest, RightHalfAloneIsPushedOnePixelLeftOfTheBlock) {
    load({{cell(5, 3), 1}});
    TestActor actor;
    actor.setPosition(160.f, 160.f);
    actor.setVelocity(200.f, 0.f);
    collide(actor);
    EXPECT_EQ(actor.getPosition(), sf::Vector2f(151.f, 160.f));
    EXPECT_EQ(actor.getVelocity().x, 0.f);
}

// Only the side probes reach into the block; head and feet are far away.
TestActor sidesOnly() {
    return TestActor(
        {{0, 0, 40, 60}, {0, 200, 1, 1}, {0, -200, 1, 1}, {0, 10, 20, 40}, {20, 10, 20, 40}});
}

TEST_F(TileCollisionTest, BothSidesLandAFallingActor) {
    load({{cell(5, 3), 1}});
    TestActor actor = sidesOnly();
    actor.setPosition(200.f, 160.f);
    actor.setVelocity(0.f, 10.f);
    collide(actor);
    EXPECT_EQ(actor.getPosition(), sf::Vector2f(200.f, 120.f));
    EXPECT_TRUE(actor.isGrounded());
}

TEST_F(TileCollisionTest, BothSidesStopARisingActorUnderTheBlock) {
    load({{cell(5, 3), 1}});
    TestActor actor = sidesOnly();
    actor.setPosition(200.f, 160.f);
    actor.setVelocity(0.f, -10.f);
    collide(actor);
    EXPECT_EQ(actor.getPosition(), sf::Vector2f(200.f, 216.f));
}

TEST_F(TileCollisionTest, BothSidesWithoutVerticalSpeedDoNothing) {
    load({{cell(5, 3), 1}});
    TestActor actor = sidesOnly();
    actor.setPosition(200.f, 160.f);
    actor.setVelocity(5.f, 0.f);
    collide(actor);
    EXPECT_EQ(actor.getPosition(), sf::Vector2f(200.f, 160.f));
    EXPECT_EQ(actor.getVelocity(), sf::Vector2f(5.f, 0.f));
    EXPECT_FALSE(actor.isGrounded());
}

TEST_F(TileCollisionTest, HeadAndFeetInTheSameBlockDoNothing) {
    load({{cell(5, 3), 1}});
    // A flat actor inside the block: head and feet both touch it.
    TestActor actor(
        {{0, 0, 20, 20}, {0, 15, 20, 5}, {0, 0, 20, 5}, {-100, 0, 1, 1}, {100, 0, 1, 1}});
    actor.setPosition(210.f, 190.f);
    actor.setVelocity(0.f, 100.f);
    collide(actor);
    EXPECT_EQ(actor.getPosition(), sf::Vector2f(210.f, 190.f));
    EXPECT_EQ(actor.getVelocity().y, 100.f);
}

TEST_F(TileCollisionTest, FeetOnTwoBlocksLandOnEachInCellOrder) {
    load({{cell(5, 3), 1}, {cell(5, 4), 1}});
    // Raise the second block by three hop steps (6 pixels); landing on it comes last.
    platform.bump(platform.getBlock(cell(5, 4)));
    for (int i = 0; i < 3; ++i)
        platform.update(sf::Time::Zero);
    TestActor actor;
    actor.setPosition(236.f, 125.f); // feet 246..266 over both blocks
    collide(actor);
    EXPECT_EQ(actor.getPosition().y, 114.f);
}

TEST_F(TileCollisionTest, FeetOnTwoBlocksEndOnTheLaterCellsTop) {
    load({{cell(5, 3), 1}, {cell(5, 4), 1}});
    platform.bump(platform.getBlock(cell(5, 3)));
    for (int i = 0; i < 3; ++i)
        platform.update(sf::Time::Zero);
    TestActor actor;
    actor.setPosition(236.f, 125.f);
    collide(actor);
    EXPECT_EQ(actor.getPosition().y, 120.f);
}

TEST_F(TileCollisionTest, EdgeBlocksHoldActorsUpToACellOutsideTheMap) {
    load({{cell(5, 0), 1}, {cell(5, 29), 1}});
    TestActor left;
    left.setPosition(-50.f, 125.f); // feet -40..-20
    collide(left);
    EXPECT_EQ(left.getPosition(), sf::Vector2f(-50.f, 120.f));
    TestActor right;
    right.setPosition(1930.f, 125.f); // feet 1940..1960, right of the map's 1920
    collide(right);
    EXPECT_EQ(right.getPosition(), sf::Vector2f(1930.f, 120.f));
    // Beyond the widened cell there is nothing.
    TestActor far;
    far.setPosition(-100.f, 125.f); // feet -90..-70
    collide(far);
    EXPECT_EQ(far.getPosition(), sf::Vector2f(-100.f, 125.f));
}

TEST_F(TileCollisionTest, InnerColumnsAreNotWidened) {
    load({{cell(5, 3), 1}});
    TestActor actor;
    actor.setPosition(250.f, 125.f); // feet 260..280, just right of the block
    collide(actor);
    EXPECT_EQ(actor.getPosition(), sf::Vector2f(250.f, 125.f));
}

TEST_F(TileCollisionTest, NodesThatAreNotActorsAreIgnored) {
    load({{cell(5, 3), 1}});
    SceneNode plain;
    collide(plain);
    EXPECT_EQ(plain.getPosition(), sf::Vector2f(0.f, 0.f));
}

// ---------------------------------------------------------------------------------------------
// Bump animation

class BumpTest : public TileCollisionTest {};

TEST_F(BumpTest, HopsTenPixelsUpAndBackInTenUpdates) {
    load({{cell(5, 3), 1}});
    Block* block = platform.getBlock(cell(5, 3));
    platform.bump(block);
    EXPECT_TRUE(block->isBumping());
    const float expected[] = {178, 176, 174, 172, 170, 172, 174, 176, 178, 180};
    for (float top : expected) {
        EXPECT_TRUE(block->isBumping());
        platform.update(sf::Time::Zero);
        EXPECT_EQ(block->getQuad()[0].position.y, top);
        EXPECT_EQ(block->getQuad()[2].position.y, top + 36.f);
    }
    EXPECT_FALSE(block->isBumping());
    EXPECT_EQ(platform.getBumpStep(block), -1);
    platform.update(sf::Time::Zero);
    EXPECT_EQ(block->getQuad()[0].position.y, 180.f);
}

TEST_F(BumpTest, BumpingAHoppingBlockChangesNothing) {
    load({{cell(5, 3), 1}});
    Block* block = platform.getBlock(cell(5, 3));
    platform.bump(block);
    platform.update(sf::Time::Zero);
    platform.update(sf::Time::Zero);
    platform.bump(block);
    EXPECT_EQ(platform.getBumpStep(block), 4);
}

TEST_F(BumpTest, TheTopOfTheHopStrikesTheBlockAbove) {
    load({{cell(5, 3), 1}, {cell(4, 3), 1}});
    Block* above = platform.getBlock(cell(4, 3));
    ASSERT_TRUE(above->tryAssignKey());
    platform.bump(platform.getBlock(cell(5, 3)));
    for (int i = 0; i < 4; ++i)
        platform.update(sf::Time::Zero);
    EXPECT_FALSE(above->isBumping());
    EXPECT_TRUE(commandQueue().isEmpty());
    platform.update(sf::Time::Zero);
    EXPECT_TRUE(above->isBumping());
    EXPECT_EQ(above->getItem(), -1);
    const auto commands = leveltest::takeCommands();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].category, Category::Objects);
    // Both finish their hops and come back to their places.
    for (int i = 0; i < 12; ++i)
        platform.update(sf::Time::Zero);
    EXPECT_FALSE(above->isBumping());
    EXPECT_EQ(above->getQuad()[0].position.y, 144.f);
    EXPECT_EQ(platform.getBlock(cell(5, 3))->getQuad()[0].position.y, 180.f);
}

TEST_F(BumpTest, TwoHopsAtOnceBothFinish) {
    load({{cell(5, 3), 1}, {cell(5, 10), 1}});
    Block* first = platform.getBlock(cell(5, 3));
    Block* second = platform.getBlock(cell(5, 10));
    platform.bump(first);
    platform.update(sf::Time::Zero);
    platform.bump(second);
    for (int i = 0; i < 9; ++i)
        platform.update(sf::Time::Zero);
    EXPECT_FALSE(first->isBumping());
    EXPECT_TRUE(second->isBumping());
    EXPECT_EQ(second->getQuad()[0].position.y, 178.f);
    platform.update(sf::Time::Zero);
    EXPECT_FALSE(second->isBumping());
    EXPECT_EQ(first->getQuad()[0].position.y, 180.f);
    EXPECT_EQ(second->getQuad()[0].position.y, 180.f);
}

// ---------------------------------------------------------------------------------------------
// Key placement

class KeyTest : public TileCollisionTest {
protected:
    // Runs generateKey with both console streams captured.
    void generate(std::string& out, std::string& err) {
        StreamCapture capturedOut(std::cout);
        StreamCapture capturedErr(std::cerr);
        platform.generateKey();
        out = capturedOut.str();
        err = capturedErr.str();
    }
};

TEST_F(KeyTest, PrintsTheCellThatGotTheKey) {
    writeGrid(1, 30, 10, {{57, 1}, {58, 1}}, {57});
    ASSERT_TRUE(platform.loadLevel(1));
    std::string out, err;
    generate(out, err);
    EXPECT_EQ(out, "Generated at 57\n");
    EXPECT_EQ(err, "");
    EXPECT_EQ(platform.getBlock(57)->getItem(), 3);
    EXPECT_EQ(platform.getBlock(58)->getItem(), -1);
    EXPECT_TRUE(platform.getMarkedCells().empty());
}

TEST_F(KeyTest, MarkedCellsWithoutABlockAreNeverChosen) {
    writeGrid(1, 30, 10, {{57, 2}}, {3, 57, 100, 200});
    ASSERT_TRUE(platform.loadLevel(1));
    std::string out, err;
    generate(out, err);
    EXPECT_EQ(out, "Generated at 57\n");
    // Nothing is left that could take a second key.
    generate(out, err);
    EXPECT_EQ(out, "");
    EXPECT_NE(err.find("No key was placed"), std::string::npos) << err;
}

TEST_F(KeyTest, CellsThatAlreadyHoldAnItemAreSkipped) {
    writeGrid(1, 30, 10, {{10, 1}, {20, 1}}, {10, 20});
    ASSERT_TRUE(platform.loadLevel(1));
    ASSERT_TRUE(platform.getBlock(10)->tryAssignKey());
    std::string out, err;
    generate(out, err);
    EXPECT_EQ(out, "Generated at 20\n");
    EXPECT_EQ(platform.getBlock(20)->getItem(), 3);
    EXPECT_EQ(platform.getMarkedCells(), (std::vector<int>{10}));
    // Now every candidate holds an item: no key, no console line, and a message.
    generate(out, err);
    EXPECT_EQ(out, "");
    EXPECT_NE(err.find("No key was placed"), std::string::npos) << err;
}

TEST_F(KeyTest, NoMarkedCellsAtAll) {
    load({{10, 1}});
    std::string out, err;
    generate(out, err);
    EXPECT_EQ(out, "");
    EXPECT_NE(err.find("No key was placed"), std::string::npos) << err;
}

TEST_F(KeyTest, EveryMarkedBlockGetsOneKeyInTheSameOrderEachTime) {
    std::vector<std::pair<int, int>> blocks;
    std::vector<int> marked;
    for (int c = 0; c < 10; ++c) {
        blocks.push_back({cell(7, c), 1});
        marked.push_back(cell(7, c));
    }
    writeGrid(1, 30, 10, blocks, marked);
    auto placements = [&] {
        Platform map;
        EXPECT_TRUE(map.loadLevel(1));
        StreamCapture out(std::cout);
        for (int i = 0; i < 10; ++i)
            map.generateKey();
        for (int c : marked)
            EXPECT_EQ(map.getBlock(c)->getItem(), 3) << c;
        return out.str();
    };
    const std::string first = placements();
    EXPECT_EQ(first, placements());
    for (int c : marked)
        EXPECT_NE(first.find("Generated at " + std::to_string(c) + "\n"), std::string::npos)
            << first;
}

TEST_F(KeyTest, TheKeyComesOutWhenTheTankStrikesItsBlock) {
    writeGrid(1, 30, 10, {{cell(5, 3), 1}}, {cell(5, 3)});
    ASSERT_TRUE(platform.loadLevel(1));
    StreamCapture out(std::cout);
    platform.generateKey();
    Tank tank;
    tank.setPosition(200.f, 210.f);
    collide(tank);
    const auto commands = leveltest::takeCommands();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].category, Category::Objects);
    EXPECT_EQ(platform.getBlock(cell(5, 3))->getItem(), -1);
}

} // namespace
