#include "actors/Opponent.hpp"

#include "actors/Wolf.hpp"
#include "world/Spawner.hpp"

#include "LevelTestSupport.hpp"

#include <gtest/gtest.h>

#include <map>

namespace {

using leveltest::GameFolder;
using leveltest::LoneBlock;

class OpponentTest : public ::testing::Test {
protected:
    OpponentTest() { worldSize = {4000.f, 4000.f}; }

    // A spawner whose top-left corner is (left, top), registered with the opponent.
    LoneBlock& addSpawner(float left, float top, int column, int tile = 6) {
        spawners.push_back(std::make_unique<LoneBlock>(tile, left, top, column));
        leveltest::drainQueue();
        opponent.addSpawner(&spawners.back()->spawner());
        return *spawners.back();
    }
    Wolf& wolfAt(std::size_t index) const {
        return dynamic_cast<Wolf&>(*opponent.getChildren().at(index));
    }
    Wolf& addWolf() {
        opponent.attachChild(std::make_unique<Wolf>(folder.holder));
        return dynamic_cast<Wolf&>(*opponent.getChildren().back());
    }
    std::size_t wolfCount() const { return opponent.getChildren().size(); }

    GameFolder folder;
    std::vector<std::unique_ptr<LoneBlock>> spawners;
    Opponent opponent;
};

TEST_F(OpponentTest, StartsWithNothingToDo) {
    EXPECT_EQ(opponent.getCategory(), Category::Opponent);
    EXPECT_EQ(opponent.getWolvesToSpawn(), 0);
    EXPECT_EQ(opponent.getSpawnTimer(), 1.5f);
    EXPECT_EQ(opponent.getSpawnerCount(), 0u);
    EXPECT_EQ(opponent.getMarksOwed(), 0);
}

TEST_F(OpponentTest, FirstWolfAfterOneAndAHalfSecondsThenOneEveryThree) {
    addSpawner(1856.f, 464.f, 29);
    opponent.addWolves(7);
    const std::size_t expected[] = {0, 0, 1, 1, 1, 1, 1, 1, 2, 2};
    for (std::size_t count : expected) {
        opponent.update(sf::seconds(0.5f));
        EXPECT_EQ(wolfCount(), count);
    }
    EXPECT_EQ(opponent.getWolvesToSpawn(), 5);
}

TEST_F(OpponentTest, TimerWaitsAtTheDelayUntilWolvesAreOwed) {
    addSpawner(1856.f, 464.f, 29);
    for (int i = 0; i < 10; ++i)
        opponent.update(sf::seconds(0.5f));
    EXPECT_EQ(wolfCount(), 0u);
    EXPECT_EQ(opponent.getSpawnTimer(), 3.f);
    opponent.addWolves(1);
    opponent.update(sf::Time::Zero);
    EXPECT_EQ(wolfCount(), 1u);
    EXPECT_EQ(opponent.getWolvesToSpawn(), 0);
    EXPECT_EQ(opponent.getSpawnTimer(), 0.f);
}

TEST_F(OpponentTest, WolfEntersAtTheBottomRightCornerHeadingLeft) {
    // The right-edge spawner always offers its bottom-left corner (300, 500), heading left.
    addSpawner(300.f, 464.f, 29);
    opponent.update(sf::seconds(1.5f));
    opponent.addWolves(1);
    opponent.update(sf::Time::Zero);
    ASSERT_EQ(wolfCount(), 1u);
    EXPECT_EQ(wolfAt(0).getPosition(), sf::Vector2f(250.f, 430.f));
    EXPECT_EQ(wolfAt(0).getVelocity(), sf::Vector2f(-100.f, 0.f));
}

TEST_F(OpponentTest, WolfEntersAtTheBottomLeftCornerHeadingRight) {
    // A left-edge spawner's first offer is its bottom-right corner (300, 500), heading right.
    addSpawner(236.f, 464.f, 0);
    opponent.update(sf::seconds(1.5f));
    opponent.addWolves(1);
    opponent.update(sf::Time::Zero);
    ASSERT_EQ(wolfCount(), 1u);
    EXPECT_EQ(wolfAt(0).getPosition(), sf::Vector2f(300.f, 430.f));
    EXPECT_EQ(wolfAt(0).getVelocity(), sf::Vector2f(100.f, 0.f));
}

TEST_F(OpponentTest, OwedWolvesWaitForASpawner) {
    opponent.addWolves(2);
    opponent.update(sf::seconds(3.f));
    opponent.update(sf::seconds(3.f));
    EXPECT_EQ(wolfCount(), 0u);
    EXPECT_EQ(opponent.getWolvesToSpawn(), 2);
    addSpawner(1856.f, 464.f, 29);
    opponent.update(sf::Time::Zero);
    EXPECT_EQ(wolfCount(), 1u);
    EXPECT_EQ(opponent.getWolvesToSpawn(), 1);
}

TEST_F(OpponentTest, SpawnerShareIsTheCeilingOfAHundredOverTheirNumber) {
    EXPECT_EQ(Opponent::spawnerIndex(0.0, 1), 0u);
    EXPECT_EQ(Opponent::spawnerIndex(99.99, 1), 0u);
    // Three spawners: 34 each for the first two, 32 for the last.
    EXPECT_EQ(Opponent::spawnerIndex(33.99, 3), 0u);
    EXPECT_EQ(Opponent::spawnerIndex(34.0, 3), 1u);
    EXPECT_EQ(Opponent::spawnerIndex(67.99, 3), 1u);
    EXPECT_EQ(Opponent::spawnerIndex(68.0, 3), 2u);
    EXPECT_EQ(Opponent::spawnerIndex(99.99, 3), 2u);
    // Seven: 15 each, the last gets 10.
    EXPECT_EQ(Opponent::spawnerIndex(89.99, 7), 5u);
    EXPECT_EQ(Opponent::spawnerIndex(90.0, 7), 6u);
    // Thirty: 4 each, so the draws end at index 24.
    EXPECT_EQ(Opponent::spawnerIndex(99.99, 30), 24u);
}

// Each spawner in its own row of the right edge (always heading left); a respawned wolf's
// height tells which one was chosen.
std::map<int, int> respawnCounts(Opponent& opponent, Wolf& wolf, int times) {
    std::map<int, int> counts;
    for (int i = 0; i < times; ++i) {
        opponent.respawn(wolf);
        const float bottom = wolf.getPosition().y + 70.f;
        ++counts[static_cast<int>((bottom - 36.f) / 100.f)];
    }
    return counts;
}

TEST_F(OpponentTest, WithThirtySpawnersTheLastFiveAreNeverChosen) {
    for (int i = 0; i < 30; ++i)
        addSpawner(1856.f, 100.f * static_cast<float>(i), 29);
    Wolf& wolf = addWolf();
    const auto counts = respawnCounts(opponent, wolf, 2500);
    for (int i = 0; i < 25; ++i)
        EXPECT_GT(counts.count(i) ? counts.at(i) : 0, 40) << i;
    for (int i = 25; i < 30; ++i)
        EXPECT_EQ(counts.count(i), 0u) << i;
}

TEST_F(OpponentTest, ThreeSpawnersShareTheDraws) {
    for (int i = 0; i < 3; ++i)
        addSpawner(1856.f, 100.f * static_cast<float>(i), 29);
    Wolf& wolf = addWolf();
    const auto counts = respawnCounts(opponent, wolf, 3000);
    ASSERT_EQ(counts.size(), 3u);
    for (const auto& [index, count] : counts) {
        EXPECT_GT(count, 850) << index;
        EXPECT_LT(count, 1150) << index;
    }
}

TEST_F(OpponentTest, RespawnSendsTheAnimalOffFiftyFaster) {
    addSpawner(236.f, 464.f, 0);
    Wolf& wolf = addWolf();
    wolf.setPosition(900.f, 100.f);
    wolf.setVelocity(-145.f, 80.f);
    opponent.respawn(wolf);
    EXPECT_EQ(wolf.getPosition(), sf::Vector2f(300.f, 430.f));
    EXPECT_EQ(wolf.getVelocity(), sf::Vector2f(195.f, 0.f));
}

TEST_F(OpponentTest, RespawnTowardsTheLeft) {
    addSpawner(300.f, 464.f, 29);
    Wolf& wolf = addWolf();
    wolf.setVelocity(145.f, 0.f);
    opponent.respawn(wolf);
    EXPECT_EQ(wolf.getPosition(), sf::Vector2f(250.f, 430.f));
    EXPECT_EQ(wolf.getVelocity(), sf::Vector2f(-195.f, 0.f));
}

TEST_F(OpponentTest, RespawnWithoutSpawnersLeavesTheAnimalAlone) {
    Wolf& wolf = addWolf();
    wolf.setPosition(900.f, 100.f);
    wolf.setVelocity(-145.f, 0.f);
    opponent.respawn(wolf);
    EXPECT_EQ(wolf.getPosition(), sf::Vector2f(900.f, 100.f));
    EXPECT_EQ(wolf.getVelocity(), sf::Vector2f(-145.f, 0.f));
}

TEST_F(OpponentTest, DestroyedSpawnersAreDroppedOnePerUpdate) {
    LoneBlock& green = addSpawner(0.f, 0.f, 5, 8);
    LoneBlock& blue = addSpawner(0.f, 100.f, 6, 9);
    LoneBlock& red = addSpawner(0.f, 200.f, 7, 6);
    green.spawner().advance();
    blue.spawner().advance();
    opponent.update(sf::Time::Zero);
    EXPECT_EQ(opponent.getSpawnerCount(), 2u);
    opponent.update(sf::Time::Zero);
    ASSERT_EQ(opponent.getSpawnerCount(), 1u);
    EXPECT_EQ(opponent.getSpawners()[0], &red.spawner());
    opponent.update(sf::Time::Zero);
    EXPECT_EQ(opponent.getSpawnerCount(), 1u);
}

// ---------------------------------------------------------------------------------------------
// Marking

TEST_F(OpponentTest, RemarkWithoutWolvesLeavesTheMarkToTheNextSpawns) {
    opponent.remark();
    EXPECT_EQ(opponent.getMarksOwed(), 1);
    EXPECT_EQ(opponent.getMarkChance(), 10.f);
    addSpawner(1856.f, 464.f, 29);
    opponent.addWolves(10);
    // Each spawn either marks the new wolf or raises the chance by 10, so one comes by 100.
    while (opponent.getMarksOwed() > 0 && wolfCount() < 10) {
        const float chance = opponent.getMarkChance();
        opponent.update(sf::seconds(3.f));
        if (wolfAt(wolfCount() - 1).isMarked())
            EXPECT_EQ(opponent.getMarkChance(), chance);
        else
            EXPECT_EQ(opponent.getMarkChance(), chance + 10.f);
    }
    EXPECT_EQ(opponent.getMarksOwed(), 0);
    ASSERT_GT(wolfCount(), 0u);
    EXPECT_TRUE(wolfAt(wolfCount() - 1).isMarked());
    // Once the mark is given, later wolves come unmarked.
    const std::size_t marked = wolfCount();
    opponent.update(sf::seconds(3.f));
    ASSERT_EQ(wolfCount(), marked + 1);
    EXPECT_FALSE(wolfAt(marked).isMarked());
}

TEST_F(OpponentTest, RemarkWithoutWolvesNeverFails) {
    for (int i = 1; i <= 50; ++i) {
        opponent.remark();
        EXPECT_EQ(opponent.getMarksOwed(), i);
        EXPECT_EQ(opponent.getMarkChance(), 10.f);
    }
}

TEST_F(OpponentTest, RemarkWithTwelveWolvesAlwaysMarksOneAndWakesThoseBeforeIt) {
    for (int i = 0; i < 12; ++i)
        addWolf().knock();
    opponent.remark();
    EXPECT_EQ(opponent.getMarksOwed(), 0);
    int markedIndex = -1;
    for (std::size_t i = 0; i < 12; ++i)
        if (wolfAt(i).isMarked()) {
            EXPECT_EQ(markedIndex, -1) << "two wolves marked";
            markedIndex = static_cast<int>(i);
        }
    ASSERT_GE(markedIndex, 0);
    // 100 / 12 = 8 per wolf in integer division.
    EXPECT_EQ(opponent.getMarkChance(), 8.f * static_cast<float>(markedIndex + 1));
    for (std::size_t i = 0; i < 12; ++i)
        EXPECT_EQ(wolfAt(i).getMode(),
                  static_cast<int>(i) <= markedIndex ? Modes::Active : Modes::Stunned)
            << i;
}

TEST_F(OpponentTest, RemarkWhenEveryWolfIsMarkedKeepsTheMarkOwed) {
    for (int i = 0; i < 12; ++i) {
        Wolf& wolf = addWolf();
        wolf.mark();
        wolf.knock();
        ASSERT_TRUE(wolf.isDestroyed()); // marked wolves vanish when knocked
    }
    opponent.remark();
    EXPECT_EQ(opponent.getMarksOwed(), 1);
    EXPECT_EQ(opponent.getMarkChance(), 104.f);
}

// With n wolves a remark draws against n x 10; a miss sets the chance to 100 / (10 - n), a hit
// tests the wolves in turn against step, 2 step, ... with step = 100 / n.
struct RemarkCase {
    int wolves;
    float missChance;
    float step;
};

std::ostream& operator<<(std::ostream& out, const RemarkCase& rules) {
    return out << rules.wolves << " wolves";
}

class RemarkTest : public OpponentTest, public ::testing::WithParamInterface<RemarkCase> {};

TEST_P(RemarkTest, MarksAtMostOneWolfByTheRules) {
    const RemarkCase rules = GetParam();
    for (int i = 0; i < rules.wolves; ++i)
        addWolf();
    // Several rounds, each on stunned wolves, with a mark possibly left from earlier rounds.
    for (int round = 0; round < 6; ++round) {
        std::vector<bool> wasMarked;
        for (int i = 0; i < rules.wolves; ++i) {
            wolfAt(static_cast<std::size_t>(i)).knock();
            wasMarked.push_back(wolfAt(static_cast<std::size_t>(i)).isMarked());
        }
        const int owed = opponent.getMarksOwed();
        opponent.remark();
        const float chance = opponent.getMarkChance();
        int newlyMarked = -1;
        for (int i = 0; i < rules.wolves; ++i)
            if (!wasMarked[static_cast<std::size_t>(i)] &&
                wolfAt(static_cast<std::size_t>(i)).isMarked()) {
                EXPECT_EQ(newlyMarked, -1) << "two wolves marked";
                newlyMarked = i;
            }
        int woken = 0;
        if (newlyMarked >= 0) {
            EXPECT_EQ(opponent.getMarksOwed(), owed);
            EXPECT_EQ(chance, rules.step * static_cast<float>(newlyMarked + 1));
            woken = newlyMarked + 1;
        } else {
            EXPECT_EQ(opponent.getMarksOwed(), owed + 1);
            const float searchedAll = rules.step * static_cast<float>(rules.wolves + 1);
            EXPECT_TRUE(chance == rules.missChance || chance == searchedAll) << chance;
            woken = chance == searchedAll ? rules.wolves : 0;
        }
        for (int i = 0; i < rules.wolves; ++i) {
            const Wolf& wolf = wolfAt(static_cast<std::size_t>(i));
            if (!wolf.isDestroyed()) {
                EXPECT_EQ(wolf.getMode(), i < woken ? Modes::Active : Modes::Stunned) << i;
            }
        }
    }
}

// Over many remarks, the share of draws that start a search matches the chance: n x 10 below
// five wolves, (n + 10) x 5 from five on.
TEST_F(OpponentTest, RemarkSearchesAsOftenAsTheChanceSays) {
    const std::vector<std::pair<int, double>> cases = {{2, 0.2}, {4, 0.4}, {6, 0.8}};
    for (const auto& [wolves, share] : cases) {
        Opponent fresh;
        for (int i = 0; i < wolves; ++i)
            fresh.attachChild(std::make_unique<Wolf>(folder.holder));
        const int rounds = 500;
        int searches = 0;
        for (int round = 0; round < rounds; ++round) {
            fresh.remark();
            // A miss leaves 100 / (10 - n); a search leaves a multiple of 100 / n.
            if (fresh.getMarkChance() != static_cast<float>(100 / (10 - wolves)))
                ++searches;
        }
        EXPECT_NEAR(static_cast<double>(searches) / rounds, share, 0.07) << wolves;
    }
}

INSTANTIATE_TEST_SUITE_P(WolfCounts, RemarkTest,
                         ::testing::Values(RemarkCase{1, 11.f, 100.f}, RemarkCase{2, 12.f, 50.f},
                                           RemarkCase{4, 16.f, 25.f}, RemarkCase{6, 25.f, 16.f}));

} // namespace
