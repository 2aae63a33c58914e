// The automatic player plays every shipped level, as the demo does at fixed steps, on a world that
// is never drawn, seeing what happens a human reaction time late; after every step the test checks
// what must always hold in play. Each level is played on its own, as the world's only level: a
// level starts afresh (a new player, opponent and map), so it plays exactly as it does after the
// ones before it, and the levels are played in parallel. The end-to-end test of the demo plays
// them all in order. The player is also shown to play on what a player sees and nothing else.

#include "WorldFixture.hpp"

#include "actors/Animal.hpp"
#include "actors/Controls.hpp"
#include "actors/Entity.hpp"
#include "actors/Opponent.hpp"
#include "actors/Player.hpp"
#include "actors/Tank.hpp"
#include "autoplay/AutoPlayer.hpp"
#include "autoplay/Maneuver.hpp"
#include "autoplay/TankSimulator.hpp"
#include "autoplay/WorldSight.hpp"
#include "core/CommandQueue.hpp"
#include "world/Block.hpp"
#include "world/Platform.hpp"
#include "world/WorldGlobals.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <iostream>
#include <map>
#include <sstream>
#include <utility>

namespace {

using namespace testsupport;

const sf::Time Step = sf::seconds(1.f / 60.f);
const sf::Time LevelTimeLimit = sf::seconds(600.f);
// A quarter of a second, a person's time to react to what they see: 15 steps.
const int HumanReaction = 15;

fs::path shippedLevel(int number) {
    return dataDir() / "Levels" / ("Level" + std::to_string(number) + ".lua");
}

int shippedLevelCount() {
    int count = 0;
    while (fs::exists(shippedLevel(count + 1)))
        ++count;
    return count;
}

bool finite(sf::Vector2f v) {
    return std::isfinite(v.x) && std::isfinite(v.y);
}

// Steps a wreck takes from where it was destroyed until it is removed, 500 px below the world:
// it hops up at 400 px/s and falls under gravity 1500, as every entity does (but not in its first
// step when a block carried the tank as it was destroyed).
int wreckFallSteps(float y, bool grounded) {
    float speed = Tank::WreckHopSpeed;
    int steps = 0;
    while (y < worldSize.y + Tank::WreckFallDepth && steps < 100000) {
        if (steps > 0 || !grounded)
            speed += static_cast<float>(Physics::Gravity) * Step.asSeconds();
        y += speed * Step.asSeconds();
        ++steps;
    }
    return steps;
}

// After the wreck is removed: the player's second of waiting, counted down in whole
// microseconds, then the step the next tank is spawned in.
const int RespawnSteps =
    static_cast<int>(std::ceil(Player::RespawnDelay / static_cast<float>(Step.asMicroseconds()))) +
    1;

struct LevelResult {
    int level = 0;
    sf::Time time;
    int tanksLost = 0;
};

// Plays the world with the automatic player at the controls, one fixed step at a time, and checks
// after each step what must always hold. Every failure is reported once, with the step it
// happened in.
class PlayThrough {
public:
    explicit PlayThrough(World& world) : world(world) {
        world.levelClearedCallback = [this](int level) {
            clearedInStep = true;
            EXPECT_EQ(this->world.getOpponent()->getSpawnerCount(), 0u);
            results.push_back({level, this->world.getLevelTime(), this->world.getTanksLost()});
        };
        world.gameOverCallback = [this] { gameOver = true; };
    }

    // Plays until the level is cleared, the game is over, or the level runs out of time.
    void play() {
        while (results.empty() && !gameOver && !failed()) {
            world.update(Step, [this] {
                check();
                player.decide(sight.look(world)).queueCommands(world.getCommandQueue());
            });
            if (world.getLevelTime() > LevelTimeLimit)
                fail("level " + std::to_string(world.getLevel()) + " not cleared in 10 minutes");
        }
    }

    bool failed() const { return !problem.empty(); }

    std::vector<LevelResult> results;
    bool gameOver = false;
    std::string problem;

private:
    void fail(const std::string& what) {
        if (problem.empty())
            problem = "step " + std::to_string(steps) + " of level " +
                      std::to_string(world.getLevel()) + ": " + what;
    }

    void check() {
        ++steps;
        // The next level is built in the step the last spawner goes, and only then.
        if (clearedInStep) {
            clearedInStep = false;
            if (world.getLevelTime() != sf::Time::Zero ||
                world.getOpponent()->getSpawnerCount() == 0)
                fail("the next level was not built in the step the last spawner went");
            resetLevel();
        } else if (world.getLevelTime() != timeBefore + Step) {
            fail("the level was built again while a spawner was left");
        }
        timeBefore = world.getLevelTime();
        checkTank();
        checkCounters();
        checkBumps();
        checkNumbers();
    }

    void resetLevel() {
        livesBefore = Player::StartLives;
        lastDestroyed = false;
        destroyedAt = -1;
        spawned = 0;
        destroyed = 0;
        bumpStarts.clear();
    }

    // Lives count the tanks spawned: each new tank takes one, the first of a level as soon as it
    // starts, every later one only after the one before was destroyed.
    void checkTank() {
        const Player& thePlayer = *world.getPlayer();
        const int lives = thePlayer.getLives();
        if (lives != livesBefore) {
            if (livesBefore - lives != 1)
                fail("lives went from " + std::to_string(livesBefore) + " to " +
                     std::to_string(lives) + " in one step");
            if (spawned > 0 && !lastDestroyed)
                fail("a new tank came while the last one was intact");
            if (spawned > 0 && steps - destroyedAt > replaceWithin)
                fail("the next tank came " + std::to_string(steps - destroyedAt) +
                     " steps after the last was destroyed, more than " +
                     std::to_string(replaceWithin));
            ++spawned;
            lastDestroyed = false;
        }
        livesBefore = lives;
        const Tank* now = thePlayer.getTank();
        if (spawned > 0 && !lastDestroyed && (!now || now->isDestroyed())) {
            lastDestroyed = true;
            ++destroyed;
            destroyedAt = steps;
            replaceWithin =
                (now ? wreckFallSteps(now->getPosition().y, now->isGrounded()) : 0) + RespawnSteps;
        }
        if (lastDestroyed && lives > 0 && steps - destroyedAt > replaceWithin)
            fail("no tank came after the last was destroyed");
        if (world.getTanksLost() != destroyed)
            fail("the world counts " + std::to_string(world.getTanksLost()) + " tanks lost, " +
                 std::to_string(destroyed) + " were destroyed");
    }

    void checkCounters() {
        for (const int counter : world.getPlayer()->getColours())
            if (counter < 0)
                fail("a colour counter below zero");
        if (world.getPlayer()->getLives() < 0)
            fail("lives below zero");
    }

    void checkBumps() {
        const Platform& map = *world.getPlatform();
        const sf::Vector2f tile = map.getTileSize();
        for (const int cell : map.getSolidCells()) {
            const Block& block = *map.getBlock(cell);
            if (block.isBumping() && !bumpStarts.count(cell))
                bumpStarts[cell] = steps;
        }
        for (auto entry = bumpStarts.begin(); entry != bumpStarts.end();) {
            if (steps - entry->second < 10) {
                ++entry;
                continue;
            }
            const Block& block = *map.getBlock(entry->first);
            const sf::Vector2f rest(static_cast<float>(block.getColumn()) * tile.x,
                                    static_cast<float>(block.getRow()) * tile.y);
            if (block.isBumping() || block.getQuad()[0].position != rest)
                fail("block " + std::to_string(entry->first) +
                     " not back in place ten updates after its bump");
            entry = bumpStarts.erase(entry);
        }
    }

    void checkNode(const SceneNode& node) {
        if (const auto* entity = dynamic_cast<const Entity*>(&node))
            if (!finite(entity->getPosition()) || !finite(entity->getVelocity()))
                fail("an actor's position or speed is not a number");
        for (const auto& child : node.getChildren())
            checkNode(*child);
    }

    void checkNumbers() {
        checkNode(*world.getPlayer());
        checkNode(*world.getOpponent());
        checkNode(world.getObjectsLayer());
    }

    World& world;
    WorldSight sight;
    AutoPlayer player{HumanReaction};
    int steps = 0;
    sf::Time timeBefore;
    bool clearedInStep = false;
    int livesBefore = Player::StartLives;
    bool lastDestroyed = false;
    int destroyedAt = -1;
    int replaceWithin = 0;
    int spawned = 0;
    int destroyed = 0;
    std::map<int, int> bumpStarts;
};

struct Game {
    sf::Vector2u window;
    int level;
};

class AutoPlayerPlayThrough : public ::testing::TestWithParam<Game> {};

TEST_P(AutoPlayerPlayThrough, ClearsTheLevelWithinTenMinutesWithoutAGameOver) {
    const Game game = GetParam();
    ASSERT_TRUE(fs::exists(shippedLevel(game.level)));
    WorldFixture fixture({{1, readFile(shippedLevel(game.level))}}, game.window);
    ASSERT_TRUE(fixture.world().hasLevel());
    PlayThrough play(fixture.world());
    play.play();

    EXPECT_EQ(play.problem, "");
    EXPECT_FALSE(play.gameOver);
    ASSERT_EQ(play.results.size(), 1u);
    // The first level is where a new player learns the game.
    if (game.level == 1) {
        EXPECT_LE(play.results[0].time, sf::seconds(120.f));
        EXPECT_LE(play.results[0].tanksLost, 3);
    }
    std::cout << "Level " << game.level << " cleared in " << play.results[0].time.asSeconds()
              << " s, " << play.results[0].tanksLost << " tanks lost\n";
}

// Every level in the window most people have; the picture is laid out the same way on any
// 16:9 window up to 1920 pixels across, and one level is played as on a 4K screen, laid out at
// 1920 and scaled up.
std::vector<Game> everyShippedLevel() {
    std::vector<Game> games;
    for (int level = 1; level <= shippedLevelCount(); ++level)
        games.push_back({sf::Vector2u(1280, 720), level});
    games.push_back({sf::Vector2u(3840, 2160), 1});
    return games;
}

std::string gameName(const ::testing::TestParamInfo<Game>& info) {
    return "Level" + std::to_string(info.param.level) + "At" + std::to_string(info.param.window.x) +
           "x" + std::to_string(info.param.window.y);
}

INSTANTIATE_TEST_SUITE_P(Shipped, AutoPlayerPlayThrough, ::testing::ValuesIn(everyShippedLevel()),
                         gameName);

// The automatic player's rehearsal of a move and the world's play of it, step by step: a jump
// steered into a ledge's side, up along it and onto its top.
TEST(TankSimulator, RehearsesAJumpOntoALedgeStepByStepAsTheWorldPlaysIt) {
    std::vector<std::string> rows(30, row('.'));
    rows[1][27] = 'R';                           // far away: a level needs a spawner
    rows[23] = "..############################"; // 7 rows up: 165 px at 1280
    WorldFixture fixture({{1, levelScript(rows)}});
    World& world = fixture.world();
    for (int i = 0; i < 5; ++i)
        world.update(Step);
    WorldSight sight;
    const PlayerView view = sight.look(world);
    ASSERT_TRUE(view.tank.intact);
    const Tank& tank = *std::as_const(world).getPlayer()->getTank();
    TankSimulator simulator(view.map);
    simulator.reset(TankSimulator::stateOf(view.tank));
    ASSERT_TRUE(simulator.isResting());
    ASSERT_EQ(simulator.floorOf(tank.getPosition().y), 30) << "on the world's bottom";

    // Against the ledge's side the tank is put one pixel clear of it: x = 2 x 42 - 55 - 1.
    const Maneuver move{1, true, 0, 30};
    bool pushedBack = false;
    for (int frame = 0; frame < 90; ++frame) {
        const Controls controls = move.controls(frame, simulator.state());
        // Held after one step, the controls act in the next, in both.
        simulator.step(controls);
        controls.queueCommands(world.getCommandQueue());
        world.update(Step);
        const TankSimulator::State rehearsed = simulator.state();
        ASSERT_EQ(rehearsed.position, tank.getPosition()) << "step " << frame + 1;
        ASSERT_EQ(rehearsed.velocity, tank.getVelocity()) << "step " << frame + 1;
        ASSERT_EQ(rehearsed.acceleration, tank.getAcceleration()) << "step " << frame + 1;
        pushedBack = pushedBack || (tank.getPosition().x == 28.f && tank.getVelocity().y != 0.f);
    }
    EXPECT_TRUE(pushedBack) << "the ledge's side stopped it on the way up";
    EXPECT_TRUE(simulator.isResting());
    EXPECT_EQ(simulator.floorOf(tank.getPosition().y), 23) << "standing on the ledge";
}

// What the automatic player saw and did in each step of a play.
struct Recording {
    std::vector<PlayerView> views;
    std::vector<Controls> controls;
};

// Plays a level for a while at a human reaction time; `hide` changes the world out of sight
// before every step.
Recording record(const std::string& level, const std::function<void(World&)>& hide) {
    WorldFixture fixture({{1, level}});
    World& world = fixture.world();
    WorldSight sight;
    AutoPlayer player(HumanReaction);
    Recording seen;
    bool cleared = false;
    world.levelClearedCallback = [&cleared](int) { cleared = true; };
    while (world.getLevelTime() < sf::seconds(60.f) && !cleared) {
        hide(world);
        world.update(Step, [&] {
            seen.views.push_back(sight.look(world));
            seen.controls.push_back(player.decide(seen.views.back()));
            seen.controls.back().queueCommands(world.getCommandQueue());
        });
    }
    return seen;
}

bool sameControls(const Controls& a, const Controls& b) {
    return a.left == b.left && a.right == b.right && a.jump == b.jump;
}

// Two worlds that differ only in what a player cannot see: in the second every wolf is marked
// (a knocked one vanishes instead of lying stunned), a key is hidden from the start, and the
// opponent has drawn once more. The player holds the same controls in both until the window
// shows a difference.
TEST(AutoPlayer, PlaysTheSameUntilSomethingItCanSeeDiffers) {
    // The first level's layout: a spawner over a walled bowl, a power block and key places on a
    // ledge.
    std::vector<std::string> rows(30, row('.'));
    rows[20] = "......#......R................";
    rows[21] = "......###############.........";
    rows[24] = ".....#....................#...";
    rows[25] = "..PKK######################.##";
    const std::string level = levelScript(rows);
    const Recording plain = record(level, [](World&) {});
    bool hidden = false;
    const Recording secret = record(level, [&hidden](World& world) {
        if (world.getLevelTime() == sf::Time::Zero) {
            world.getOpponent()->remark();
            hidden = world.getPlatform()->getBlock(25 * 30 + 3)->tryAssignKey();
        }
        for (const auto& child : world.getOpponent()->getChildren())
            if (auto* wolf = dynamic_cast<Animal*>(child.get()))
                wolf->mark();
    });
    ASSERT_TRUE(hidden);

    std::size_t differs = 0;
    while (differs < plain.views.size() && differs < secret.views.size() &&
           plain.views[differs] == secret.views[differs])
        ++differs;
    // Knocking wolves over takes a while; before it, there is a level to climb and bump.
    EXPECT_GT(differs, 300u) << "the views differ from step " << differs;
    ASSERT_LT(differs, plain.views.size()) << "nothing ever differed: nothing was tried";
    for (std::size_t step = 0; step < differs; ++step)
        ASSERT_TRUE(sameControls(plain.controls[step], secret.controls[step]))
            << "step " << step << " of " << differs << " that looked the same";
}

} // namespace
