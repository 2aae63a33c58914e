#include "WorldFixture.hpp"

#include "actors/Objects.hpp"
#include "actors/Opponent.hpp"
#include "actors/Player.hpp"
#include "actors/Tank.hpp"
#include "actors/Wolf.hpp"
#include "core/SoundPlayer.hpp"
#include "world/Platform.hpp"
#include "world/Spawner.hpp"
#include "world/WorldGlobals.hpp"

#include <gtest/gtest.h>

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

TEST(WorldLevels, NoLoadableLevelLeavesNothingToPlay) {
    CerrCapture errors;
    WorldFixture fixture({{1, "while true do end"}, {2, "return {}"}});
    EXPECT_FALSE(fixture.world().hasLevel());
    fixture.run(3); // nothing to update, nothing breaks
    EXPECT_NE(errors.text().find("No level could be loaded"), std::string::npos);
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
