#include "WorldFixture.hpp"

#include "actors/Objects.hpp"
#include "actors/Opponent.hpp"
#include "actors/Player.hpp"
#include "actors/Tank.hpp"
#include "actors/Wolf.hpp"
#include "core/CopyingProgram.hpp"
#include "core/SoundPlayer.hpp"
#include "hud/GameHUD.hpp"
#include "world/Platform.hpp"
#include "world/Spawner.hpp"
#include "world/WorldGlobals.hpp"

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <sstream>

namespace {

using namespace testsupport;

// Twelve rows: a red spawner high up, a power block, ground at the bottom.
std::string oneSpawnerLevel(char spawner = 'R') {
    std::vector<std::string> rows(12, row('.'));
    rows[2][20] = spawner;
    rows[6][10] = 'P';
    rows[11] = row('#');
    return levelScript(rows);
}

std::string twoSpawnerLevel(int height) {
    std::vector<std::string> rows(static_cast<std::size_t>(height), row('.'));
    rows[1][3] = 'R';
    rows[1][25] = 'R';
    return levelScript(rows);
}

Spawner* firstSpawner(World& world) {
    const auto& spawners = world.getOpponent()->getSpawners();
    return spawners.empty() ? nullptr : spawners.front();
}

Wolf& addWolf(World& world, sf::Vector2f position) {
    auto wolf = std::make_unique<Wolf>(*textureHolder);
    wolf->setPosition(position);
    Wolf& result = *wolf;
    world.getOpponent()->attachChild(std::move(wolf));
    return result;
}

class CerrCapture {
public:
    CerrCapture() : previous(std::cerr.rdbuf(captured.rdbuf())) {}
    ~CerrCapture() { std::cerr.rdbuf(previous); }
    std::string text() const { return captured.str(); }

private:
    std::ostringstream captured;
    std::streambuf* previous;
};

TEST(WorldBuild, CommandsQueuedWhileBuildingRunBeforeTheFirstUpdate) {
    WorldFixture fixture({{1, twoSpawnerLevel(10)}});
    World& world = fixture.world();
    ASSERT_TRUE(world.hasLevel());
    EXPECT_EQ(world.getOpponent()->getSpawnerCount(), 2u) << "spawners registered at build time";
    EXPECT_EQ(world.getLevel(), 1);
    EXPECT_EQ(worldSize, sf::Vector2f(1260.f, 236.25f));
    EXPECT_EQ(world.getCamera().getCenter(), sf::Vector2f(640.f, 236.25f - 288.f));
    EXPECT_EQ(world.getPlayer()->getTank(), nullptr) << "the tank comes with the first update";
}

TEST(WorldBuild, TheFirstTankStandsAtTheBottomLeft) {
    WorldFixture fixture({{1, twoSpawnerLevel(40)}});
    ASSERT_TRUE(fixture.world().hasLevel());
    fixture.run(1);
    Tank* tank = fixture.world().getPlayer()->getTank();
    ASSERT_NE(tank, nullptr);
    EXPECT_FLOAT_EQ(tank->getPosition().x, 0.f);
    EXPECT_FLOAT_EQ(tank->getPosition().y, worldSize.y - 76.f);
}

// What a world built for a window of the given size lays out, and its picture after a few frames.
struct Layout {
    sf::Vector2u window;
    sf::Vector2f tile, world, view, centre;
    sf::FloatRect viewport;
    sf::Image picture;
};

Layout layOut(sf::Vector2u size) {
    WorldFixture fixture({{1, oneSpawnerLevel()}}, size);
    World& world = fixture.world();
    EXPECT_TRUE(world.hasLevel());
    fixture.run(10);
    fixture.target.clear();
    world.draw();
    fixture.target.display();
    const sf::View& view = world.getCamera().getView();
    return {windowSize,
            world.getPlatform()->getTileSize(),
            worldSize,
            view.getSize(),
            view.getCenter(),
            view.getViewport(),
            fixture.target.getTexture().copyToImage()};
}

// The mean difference per channel between each pixel of the small picture and the average of the
// pixels of the big one that it stands for: 0 when the small one is the big one scaled down.
double scaledDifference(const sf::Image& small, const sf::Image& big) {
    const sf::Vector2u to = small.getSize();
    const sf::Vector2u from = big.getSize();
    double difference = 0.0;
    for (unsigned y = 0; y < to.y; ++y)
        for (unsigned x = 0; x < to.x; ++x) {
            int sum[3] = {0, 0, 0};
            int count = 0;
            for (unsigned by = y * from.y / to.y; by < (y + 1) * from.y / to.y; ++by)
                for (unsigned bx = x * from.x / to.x; bx < (x + 1) * from.x / to.x; ++bx) {
                    const sf::Color pixel = big.getPixel(bx, by);
                    sum[0] += pixel.r;
                    sum[1] += pixel.g;
                    sum[2] += pixel.b;
                    ++count;
                }
            const sf::Color pixel = small.getPixel(x, y);
            difference += std::abs(sum[0] / count - pixel.r) + std::abs(sum[1] / count - pixel.g) +
                          std::abs(sum[2] / count - pixel.b);
        }
    return difference / (to.x * to.y * 3.0);
}

// Cells are a thirtieth of the width but the actors have fixed sizes, so a wider window is played
// as a 1920-pixel one and its picture scaled up.
TEST(WorldBuild, AWindowWiderThan1920PixelsShowsThe1920PixelGameScaledUp) {
    const Layout full = layOut({1920, 1080});
    EXPECT_EQ(full.window, sf::Vector2u(1920, 1080));
    EXPECT_EQ(full.tile, sf::Vector2f(64.f, 36.f));
    const Layout wide = layOut({3840, 2160});
    EXPECT_EQ(wide.window, full.window) << "what the nodes lay themselves out for";
    EXPECT_EQ(wide.tile, full.tile);
    EXPECT_EQ(wide.world, full.world);
    EXPECT_EQ(wide.view, full.view);
    EXPECT_EQ(wide.centre, full.centre);
    EXPECT_EQ(wide.viewport, full.viewport);

    // Every 2 x 2 block of the wide picture looks like the pixel it scales up; the backdrop and
    // the HUD banner fill the window.
    ASSERT_EQ(wide.picture.getSize(), sf::Vector2u(3840, 2160));
    EXPECT_LT(scaledDifference(full.picture, wide.picture), 4.0) << "mean difference per channel";

    // Of the window's shape.
    WorldFixture ultraWide({{1, oneSpawnerLevel()}}, {3440, 1440});
    EXPECT_EQ(windowSize, sf::Vector2u(1920, 804));
    EXPECT_EQ(ultraWide.world().getCamera().getView().getSize(), sf::Vector2f(1920.f, 643.2f));
}

// In a window narrower than 1280 pixels the tank would be boxed into its corner by cells a
// thirtieth as wide: the game is played as a 1280-pixel one and its picture scaled down.
TEST(WorldBuild, AWindowNarrowerThan1280PixelsShowsThe1280PixelGameScaledDown) {
    const Layout full = layOut({1280, 960});
    const Layout narrow = layOut({800, 600});
    EXPECT_EQ(narrow.window, sf::Vector2u(1280, 960)) << "what the nodes lay themselves out for";
    EXPECT_EQ(narrow.tile, sf::Vector2f(42.f, 23.625f));
    EXPECT_EQ(narrow.world, full.world);
    EXPECT_EQ(narrow.view, sf::Vector2f(1280.f, 768.f));
    EXPECT_EQ(narrow.centre, full.centre);

    // Each pixel looks like the 1.6 x 1.6 pixels it stands for.
    ASSERT_EQ(narrow.picture.getSize(), sf::Vector2u(800, 600));
    EXPECT_LT(scaledDifference(narrow.picture, full.picture), 4.0) << "mean difference per channel";
}

// ---------------------------------------------------------------------------------------------
// Drawing: each pixel about once, and the same picture as drawing everything

sf::Image drawnByTheGame(WorldFixture& fixture) {
    // Shows through wherever the world leaves a pixel unpainted.
    fixture.target.clear(sf::Color::Magenta);
    fixture.world().draw();
    fixture.target.display();
    return fixture.target.getTexture().copyToImage();
}

// The world as it stands, drawn with nothing left out: the window cleared, the backdrop read from
// its file and stretched over the whole window, the banner read from its file over the bottom
// fifth with the HUD's quads on it, every block of the map, and the actors.
sf::Image drawnPlainly(WorldFixture& fixture) {
    World& world = fixture.world();
    sf::RenderTexture& target = fixture.target;
    const sf::Vector2f layout(static_cast<float>(windowSize.x), static_cast<float>(windowSize.y));
    sf::Texture backdrop, banner, elements, tiles;
    EXPECT_TRUE(backdrop.loadFromFile("Images/Platform.png"));
    EXPECT_TRUE(banner.loadFromFile("Images/HUDBanner.png"));
    EXPECT_TRUE(elements.loadFromFile("Images/HUDElements.png"));
    EXPECT_TRUE(tiles.loadFromFile("Images/Objects.png"));
    banner.setSmooth(true);
    tiles.setSmooth(true);

    target.clear();
    target.setView(sf::View(sf::FloatRect({0.f, 0.f}, layout)));
    sf::Sprite whole(backdrop);
    whole.setScale(static_cast<float>(static_cast<double>(layout.x) / backdrop.getSize().x),
                   static_cast<float>(static_cast<double>(layout.y) / backdrop.getSize().y));
    target.draw(whole);
    sf::Sprite strip(banner);
    strip.setScale(layout.x / static_cast<float>(banner.getSize().x),
                   0.2f * layout.y / static_cast<float>(banner.getSize().y));
    strip.setPosition(0.f, 0.8f * layout.y);
    target.draw(strip);
    target.draw(world.getHUD()->getVertices(), &elements);
    target.setView(world.getCamera().getView());
    target.draw(world.getPlatform()->getVertices(), &tiles);
    target.draw(*world.getOpponent()->getParent());
    target.display();
    return target.getTexture().copyToImage();
}

// Pixels that differ, with the first of them named.
std::size_t differingPixels(const sf::Image& a, const sf::Image& b, std::string& first) {
    std::size_t count = 0;
    for (unsigned y = 0; y < a.getSize().y; ++y)
        for (unsigned x = 0; x < a.getSize().x; ++x)
            if (a.getPixel(x, y) != b.getPixel(x, y) && count++ == 0)
                first = "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
    return count;
}

// Blocks near the edges of the view hopping: one of them may rise into view from below it.
void bumpBlocksNearTheEdges(World& world) {
    Platform& platform = *world.getPlatform();
    const sf::View& view = world.getCamera().getView();
    const float tile = platform.getTileSize().y;
    for (const float edge : {view.getCenter().y - 0.3f * view.getSize().y,
                             view.getCenter().y + 0.5f * view.getSize().y})
        for (const int cell : platform.getSolidCells()) {
            const float top = static_cast<float>(cell / 30) * tile;
            if (top > edge - 2.f * tile && top < edge + 2.f * tile)
                platform.bump(platform.getBlock(cell));
        }
}

// A moment of a shipped level, in a window of a common size.
struct Moment {
    int level;
    sf::Vector2u window;
    bool upTheLevel; // the tank taken half-way up, so there are rows above and below the view
    sf::Vector2u backdrop, banner; // the sizes the pictures are kept at
};

std::string momentName(const Moment& moment) {
    return "Level" + std::to_string(moment.level) + "_" + std::to_string(moment.window.x) + "x" +
           std::to_string(moment.window.y);
}

class WorldDrawing : public ::testing::TestWithParam<Moment> {};

// A few seconds into play, wolves out and blocks hopping at the edges of the view.
TEST_P(WorldDrawing, TheSavingsLeaveThePictureAsItWas) {
    const Moment moment = GetParam();
    const std::string level = "Levels/Level" + std::to_string(moment.level) + ".lua";
    WorldFixture fixture({{1, readFile(dataDir() / level)}}, moment.window);
    World& world = fixture.world();
    ASSERT_TRUE(world.hasLevel());
    EXPECT_EQ(textureHolder->get(Textures::Platform).getSize(), moment.backdrop);
    EXPECT_EQ(textureHolder->get(Textures::HUDBanner).getSize(), moment.banner);
    fixture.run(60 * 4);
    if (moment.upTheLevel) {
        Tank* tank = world.getPlayer()->getTank();
        ASSERT_NE(tank, nullptr);
        tank->setPosition(tank->getPosition().x, worldSize.y / 2.f);
    }
    fixture.run(1);
    bumpBlocksNearTheEdges(world);
    fixture.run(3);
    ASSERT_GT(world.getOpponent()->getChildren().size(), 0u) << "wolves are out";

    const sf::Image game = drawnByTheGame(fixture);
    // The renderer takes the copying program, so the backdrop and banner were drawn through it
    // and the comparison covers that path.
    CopyingProgram copying;
    copying.draw(fixture.target, sf::Sprite(), sf::BlendNone);
    EXPECT_TRUE(copying.isUsable());
    const sf::Image plain = drawnPlainly(fixture);
    std::string first;
    EXPECT_EQ(differingPixels(game, plain, first), 0u) << "first at " << first;
    const fs::path artifacts = fs::path(QUELLIX_BINARY_DIR) / "test-artifacts" / "world";
    fs::create_directories(artifacts);
    game.saveToFile((artifacts / (momentName(moment) + ".png")).string());
}

// The pictures are made at 1920 x 1080 and 1920 x 216. 1366 x 768 has a banner whose edges
// fall between rows of pixels, so it is drawn stretched; 3840 x 2160 is the 1920-pixel game
// scaled up.
INSTANTIATE_TEST_SUITE_P(
    Moments, WorldDrawing,
    ::testing::Values(Moment{1, {1280, 720}, false, {1280, 720}, {1280, 144}},
                      Moment{1, {1366, 768}, false, {1366, 768}, {1920, 216}},
                      Moment{1, {1920, 1080}, false, {1920, 1080}, {1920, 216}},
                      Moment{1, {3840, 2160}, false, {1920, 1080}, {1920, 216}},
                      Moment{8, {1280, 720}, true, {1280, 720}, {1280, 144}}),
    [](const ::testing::TestParamInfo<Moment>& info) { return momentName(info.param); });

// An actor part in view is drawn, wherever it leaves the window: above it, behind the banner
// and past the side.
TEST(WorldDrawingActors, AWolfPartlyInViewIsDrawn) {
    WorldFixture fixture({{1, readFile(dataDir() / "Levels/Level1.lua")}});
    World& world = fixture.world();
    ASSERT_TRUE(world.hasLevel());
    fixture.run(1);
    const sf::View& view = world.getCamera().getView();
    const float top = fixture.target.mapPixelToCoords({0, 0}, view).y;
    const float bottom = view.getCenter().y + view.getSize().y / 2.f;
    const sf::Image without = drawnByTheGame(fixture);
    // A wolf picture is 50 x 70: 10 pixels of each show.
    for (const sf::Vector2f place :
         {sf::Vector2f(600.f, top - 60.f), sf::Vector2f(600.f, bottom - 10.f),
          sf::Vector2f(-40.f, top + 100.f)}) {
        Wolf& wolf = addWolf(world, place);
        const sf::Image with = drawnByTheGame(fixture);
        std::string first;
        EXPECT_GT(differingPixels(with, without, first), 0u)
            << "a wolf at (" << place.x << ", " << place.y << ") shows";
        world.getOpponent()->detachChild(wolf);
    }
}

TEST(WorldLevels, NextLevelIsBuiltInTheFrameTheLastSpawnerGoes) {
    WorldFixture fixture({{1, oneSpawnerLevel('G')}, {2, twoSpawnerLevel(20)}});
    World& world = fixture.world();
    ASSERT_TRUE(world.hasLevel());
    fixture.run(2);
    Spawner* spawner = firstSpawner(world);
    ASSERT_NE(spawner, nullptr);
    spawner->advance(); // a green spawner is destroyed by one paid hit
    EXPECT_EQ(world.getLevel(), 1);
    fixture.run(1);
    EXPECT_EQ(world.getLevel(), 2);
    EXPECT_EQ(world.getOpponent()->getSpawnerCount(), 2u);
    EXPECT_FLOAT_EQ(worldSize.y, 20 * 23.625f);
    EXPECT_EQ(world.getPlayer()->getLives(), Player::StartLives) << "a fresh player";
    EXPECT_FLOAT_EQ(world.getCamera().getCenter().y, 20 * 23.625f - 288.f)
        << "the camera starts again at the bottom";
}

TEST(WorldLevels, AfterTheLastLevelTheGameGoesOnFromLevelOne) {
    WorldFixture fixture({{1, oneSpawnerLevel('G')}, {2, oneSpawnerLevel('B')}});
    World& world = fixture.world();
    EXPECT_EQ(world.getLevelCount(), 2);
    ASSERT_TRUE(world.hasLevel());
    for (int expected : {2, 1, 2}) {
        firstSpawner(world)->advance();
        fixture.run(1);
        EXPECT_EQ(world.getLevel(), expected);
        EXPECT_TRUE(world.hasLevel());
    }
}

// "Continue" starts the world at the level a player reached.
TEST(WorldLevels, PlayStartsAtTheLevelAskedForAndTellsWhichLevelsAreCleared) {
    const std::map<int, std::string> levels{
        {1, oneSpawnerLevel('G')}, {2, oneSpawnerLevel('G')}, {3, twoSpawnerLevel(9)}};
    for (const auto& [first, expected] : std::map<int, int>{{2, 2}, {3, 3}, {4, 1}, {0, 1}}) {
        WorldFixture fixture(levels, {1280, 720}, first);
        EXPECT_EQ(fixture.world().getLevel(), expected) << "asked for " << first;
        EXPECT_EQ(fixture.world().getOpponent()->getSpawnerCount(), expected == 3 ? 2u : 1u);
    }
    WorldFixture fixture(levels, {1280, 720}, 2);
    World& world = fixture.world();
    std::vector<int> cleared;
    world.levelClearedCallback = [&](int level) {
        cleared.push_back(level);
        EXPECT_EQ(world.getLevel(), level) << "told before the next level is built";
    };
    fixture.run(2);
    EXPECT_TRUE(cleared.empty());
    firstSpawner(world)->advance();
    fixture.run(1);
    EXPECT_EQ(cleared, std::vector<int>{2});
    EXPECT_EQ(world.getLevel(), 3);
}

TEST(WorldLevels, ALevelThatCannotBeLoadedIsSkippedWithAMessage) {
    CerrCapture errors;
    WorldFixture fixture({{1, oneSpawnerLevel('G')}, {2, "return 42"}, {3, twoSpawnerLevel(9)}});
    World& world = fixture.world();
    ASSERT_TRUE(world.hasLevel());
    firstSpawner(world)->advance();
    fixture.run(1);
    EXPECT_EQ(world.getLevel(), 3);
    EXPECT_NE(errors.text().find("Skipping level 2"), std::string::npos) << errors.text();
}

// Ground and a power block, but nothing to clear: it would count as cleared at once.
std::string levelWithoutSpawner() {
    std::vector<std::string> rows(12, row('.'));
    rows[6][10] = 'P';
    rows[11] = row('#');
    return levelScript(rows);
}

TEST(WorldLevels, ALevelWithoutASpawnerIsSkippedWithAMessage) {
    CerrCapture errors;
    WorldFixture fixture({{1, levelWithoutSpawner()},
                          {2, oneSpawnerLevel('G')},
                          {3, levelWithoutSpawner()},
                          {4, twoSpawnerLevel(9)}});
    World& world = fixture.world();
    ASSERT_TRUE(world.hasLevel());
    EXPECT_EQ(world.getLevel(), 2);
    firstSpawner(world)->advance();
    fixture.run(1);
    EXPECT_EQ(world.getLevel(), 4);
    for (const char* file : {"Levels/Level1.lua: the level has no spawner",
                             "Levels/Level3.lua: the level has no spawner", "Skipping level 3"})
        EXPECT_NE(errors.text().find(file), std::string::npos) << errors.text();
}

TEST(WorldLevels, NoPlayableLevelLeavesNothingToPlay) {
    const std::vector<std::map<int, std::string>> cases = {
        {{1, "while true do end"}, {2, "return {}"}},
        {{1, levelWithoutSpawner()}, {2, levelWithoutSpawner()}},
    };
    for (const auto& levels : cases) {
        CerrCapture errors;
        WorldFixture fixture(levels);
        EXPECT_FALSE(fixture.world().hasLevel());
        fixture.run(3); // nothing to update, nothing breaks
        EXPECT_NE(errors.text().find("No level can be played"), std::string::npos) << errors.text();
    }
}

TEST(WorldLevels, NoLevelFileAtAll) {
    CerrCapture errors;
    WorldFixture fixture({});
    EXPECT_FALSE(fixture.world().hasLevel());
    EXPECT_EQ(fixture.world().getLevelCount(), 0);
    EXPECT_NE(errors.text().find("Levels/Level1.lua does not exist"), std::string::npos);
}

class WorldCollisions : public ::testing::Test {
protected:
    WorldCollisions() : fixture({{1, twoSpawnerLevel(30)}}) {
        if (!fixture.world().hasLevel())
            return;
        fixture.run(1);
        tank = fixture.world().getPlayer()->getTank();
    }
    WorldFixture fixture;
    Tank* tank = nullptr;
};

TEST_F(WorldCollisions, SeveralWolvesOnTheTankExplodeItOnce) {
    ASSERT_NE(tank, nullptr);
    const unsigned before = soundPlayer().getPlayCount(SFX::Explosion);
    addWolf(fixture.world(), tank->getPosition());
    addWolf(fixture.world(), tank->getPosition() + sf::Vector2f(10.f, 0.f));
    fixture.run(1);
    EXPECT_TRUE(tank->isDestroyed());
    EXPECT_EQ(soundPlayer().getPlayCount(SFX::Explosion), before + 1);
}

TEST_F(WorldCollisions, AStunnedWolfIsScrappedAndOwedAgain) {
    ASSERT_NE(tank, nullptr);
    Wolf& wolf = addWolf(fixture.world(), tank->getPosition());
    wolf.knock();
    ASSERT_EQ(wolf.getMode(), Modes::Stunned);
    const int owed = fixture.world().getOpponent()->getWolvesToSpawn();
    const unsigned deletes = soundPlayer().getPlayCount(SFX::RoboDelete);
    fixture.run(1);
    EXPECT_FALSE(tank->isDestroyed());
    EXPECT_EQ(soundPlayer().getPlayCount(SFX::RoboDelete), deletes + 1);
    EXPECT_EQ(fixture.world().getOpponent()->getWolvesToSpawn(), owed + 1);
    fixture.run(1);
    EXPECT_EQ(fixture.world().getOpponent()->getChildren().size(), 0u) << "the wolf was removed";
}

TEST_F(WorldCollisions, TheTankPicksUpPowerUpsButPowerUpsIgnoreEachOtherAndWolves) {
    ASSERT_NE(tank, nullptr);
    auto& objects = static_cast<Objects&>(fixture.world().getObjectsLayer());
    const sf::Vector2f feet = tank->getPosition() + sf::Vector2f(20.f, 70.f);
    objects.spawn(0, feet.x, feet.y);
    objects.spawn(2, feet.x + 5.f, feet.y);
    objects.spawn(1, 600.f, feet.y);
    addWolf(fixture.world(), {600.f, feet.y - 70.f}).setVelocity(0.f, 0.f);
    fixture.run(1);
    const auto& colours = fixture.world().getPlayer()->getColours();
    EXPECT_EQ(colours[0], 1);
    EXPECT_EQ(colours[3], 1) << "a kind-2 power-up fills the blue counter";
    EXPECT_EQ(colours[1], 0) << "the power-up under the wolf stays";
    fixture.run(1);
    EXPECT_EQ(objects.getChildren().size(), 1u);
}

TEST(WorldRules, MatchesCategoriesPutsTheFirstTypeFirst) {
    SceneNode tank;
    tank.setCategory(Category::Tank);
    SceneNode powerUp;
    powerUp.setCategory(Category::PowerUp);
    SceneNode::Pair pair{&powerUp, &tank};
    EXPECT_TRUE(matchesCategories(pair, Category::Tank, Category::PowerUp));
    EXPECT_EQ(pair.first, &tank);
    EXPECT_FALSE(matchesCategories(pair, Category::Animal, Category::Tank));
    EXPECT_EQ(pair.first, &tank) << "no match, no swap";
}

} // namespace
