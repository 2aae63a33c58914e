// Scenarios played on the real world, frame by frame at 60 frames a second, with scripted keys:
// after each world update the commands of the keys held in that frame are queued, exactly as the
// game screen does, so they are carried out by the next update.

#include "WorldFixture.hpp"

#include "actors/Controls.hpp"
#include "actors/Objects.hpp"
#include "actors/Opponent.hpp"
#include "actors/Player.hpp"
#include "actors/Tank.hpp"
#include "actors/Wolf.hpp"
#include "core/CommandQueue.hpp"
#include "core/SoundPlayer.hpp"
#include "world/Block.hpp"
#include "world/Platform.hpp"
#include "world/Spawner.hpp"
#include "world/WorldGlobals.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace testsupport;

const sf::Time Frame = sf::seconds(1.f / 60.f);

// A 1280-pixel-wide window makes cells of 42 x 23.625 pixels.
const float TileHeight = 23.625f;

using Keys = Controls;
const Keys NoKeys{};
const Keys HoldRight{false, true, false};
const Keys HoldLeft{true, false, false};
const Keys HoldUp{false, false, true};

// The world played as the game screen plays it.
class Session {
public:
    explicit Session(const std::map<int, std::string>& levels) : fixture(levels) {}

    World& world() { return fixture.world(); }
    Tank* tank() { return world().getPlayer()->getTank(); }
    Opponent& opponent() { return *world().getOpponent(); }

    // One world update (drawn, if asked), then the commands of the keys held during it.
    void frame(Keys keys = NoKeys) {
        world().update(Frame);
        ++frames;
        if (drawing) {
            fixture.target.clear();
            world().draw();
            fixture.target.display();
        }
        keys.queueCommands(world().getCommandQueue());
    }
    void run(int count, Keys keys = NoKeys) {
        for (int i = 0; i < count; ++i)
            frame(keys);
    }
    // Plays on until the player has a tank again; returns how many frames that took.
    int framesUntilATankComes() {
        const int start = frames;
        while (!tank() && frames < start + 200)
            frame();
        return frames - start;
    }

    WorldFixture fixture;
    int frames = 0;
    // Drawn scenarios show that the picture survives what they go through: bumps, stuns,
    // wrecks, a level change.
    bool drawing = false;
};

// A level of the given height without ground: actors stand on the world's floor, the tank at
// y = height x 23.625 - 76. In the top-right corner a walled pen (rows 1 to 3, columns 12 to 29)
// holds a red spawner, so the wolves the level releases on its own stay away from the tank.
std::vector<std::string> penRows(int height) {
    std::vector<std::string> rows(static_cast<std::size_t>(height), row('.'));
    rows[1][12] = rows[2][12] = '#';
    rows[1][29] = rows[2][29] = '#';
    for (std::size_t column = 12; column < 30; ++column)
        rows[3][column] = '#';
    rows[1][27] = 'R';
    return rows;
}

Wolf& addWolf(World& world, sf::Vector2f position, sf::Vector2f velocity) {
    auto wolf = std::make_unique<Wolf>(*textureHolder);
    wolf->setPosition(position);
    wolf->setVelocity(velocity);
    Wolf& result = *wolf;
    world.getOpponent()->attachChild(std::move(wolf));
    return result;
}

// Whether the wolf is still in the scene; compares addresses only, so it is safe to ask after
// the wolf has been freed.
bool holdsWolf(const Opponent& opponent, const Wolf* wolf) {
    for (const SceneNode::Ptr& child : opponent.getChildren())
        if (child.get() == wolf)
            return true;
    return false;
}

TEST(WorldScenario, TheTankDrivesDriftsToAStopAndJumps) {
    Session game({{1, levelScript(penRows(30))}});
    ASSERT_TRUE(game.world().hasLevel());
    const float floorY = 30 * TileHeight - 76.f; // 632.75

    game.frame(HoldRight);
    Tank* tank = game.tank();
    ASSERT_NE(tank, nullptr);
    EXPECT_FLOAT_EQ(tank->getPosition().x, 0.f) << "the tank starts at the left edge";
    EXPECT_FLOAT_EQ(tank->getPosition().y, floorY) << "standing on the bottom of the level";

    // The key held in frame 1 sets the drive in update 2; the tank moves from update 3 on:
    // 900 px/s² for 1/60 s gives 15 px/s, a quarter of a pixel in that frame.
    game.frame(HoldRight);
    EXPECT_FLOAT_EQ(tank->getPosition().x, 0.f);
    EXPECT_FLOAT_EQ(tank->getAcceleration().x, 900.f);
    game.frame(HoldRight);
    EXPECT_NEAR(tank->getPosition().x, 0.25f, 1e-4f);
    EXPECT_FALSE(tank->isFacingLeft());

    float x = tank->getPosition().x;
    for (int i = 0; i < 27; ++i) {
        game.frame(i < 26 ? HoldRight : NoKeys); // Right is released after frame 29
        EXPECT_GT(tank->getPosition().x, x) << "frame " << game.frames;
        x = tank->getPosition().x;
    }
    EXPECT_FALSE(tank->isFacingLeft());
    EXPECT_GT(tank->getVelocity().x, 100.f) << "driving at speed when the key is let go";

    // Without the drive the drag wears the speed down and stops the tank; it never reverses.
    int driftFrames = 0;
    while (tank->getVelocity().x != 0.f && driftFrames < 60) {
        const float before = tank->getPosition().x;
        game.frame();
        ++driftFrames;
        EXPECT_GE(tank->getPosition().x, before) << "frame " << game.frames;
    }
    EXPECT_GT(driftFrames, 1) << "the tank drifts on for a while";
    EXPECT_LT(driftFrames, 30) << "the drag stops the tank soon";
    const float stoppedAt = tank->getPosition().x;
    EXPECT_GT(stoppedAt, x) << "it drifted past where the key was let go";
    game.run(20);
    EXPECT_FLOAT_EQ(tank->getPosition().x, stoppedAt) << "it stays stopped";
    EXPECT_FALSE(tank->isFacingLeft());

    // Jump: the velocity is -775 after the update that carries out Up; each frame of flight
    // adds 25 px/s, so the first frame rises 750 / 60 = 12.5 px, the top is 193.75 px up after
    // 31 frames, and the tank is back on the floor after 61. Each jump is heard once.
    const unsigned jumps = soundPlayer().getPlayCount(SFX::Jump);
    game.frame(HoldUp);
    game.frame();
    EXPECT_FLOAT_EQ(tank->getVelocity().y, -775.f);
    EXPECT_EQ(soundPlayer().getPlayCount(SFX::Jump), jumps + 1);
    EXPECT_FLOAT_EQ(tank->getPosition().y, floorY);
    game.frame(HoldUp); // Up in the air does not jump again
    EXPECT_NEAR(tank->getPosition().y, floorY - 12.5f, 1e-3f);
    float highest = tank->getPosition().y;
    int flight = 1;
    while (tank->getPosition().y < floorY && flight < 100) {
        game.frame(flight == 30 ? HoldUp : NoKeys);
        ++flight;
        highest = std::min(highest, tank->getPosition().y);
    }
    EXPECT_NEAR(floorY - highest, 193.75f, 0.05f);
    EXPECT_GE(flight, 61);
    EXPECT_LE(flight, 62);
    EXPECT_FLOAT_EQ(tank->getPosition().y, floorY) << "landed back on the floor";
    EXPECT_FLOAT_EQ(tank->getVelocity().y, 0.f);
    EXPECT_FLOAT_EQ(tank->getPosition().x, stoppedAt) << "a straight jump";
    EXPECT_EQ(soundPlayer().getPlayCount(SFX::Jump), jumps + 1) << "Up in the air is no jump";

    // Standing again, so Up works again.
    game.frame(HoldUp);
    game.frame();
    EXPECT_FLOAT_EQ(tank->getVelocity().y, -775.f) << "grounded again after the landing";
    EXPECT_EQ(soundPlayer().getPlayCount(SFX::Jump), jumps + 2);

    // Left turns the tank around.
    game.run(70);
    game.frame(HoldLeft);
    game.frame(HoldLeft);
    EXPECT_TRUE(tank->isFacingLeft());
    EXPECT_FLOAT_EQ(tank->getAcceleration().x, -900.f);
    EXPECT_EQ(game.tank(), tank) << "the same tank all along";
    EXPECT_EQ(game.world().getPlayer()->getLives(), Player::StartLives - 1);
}

TEST(WorldScenario, TheFirstWolfEntersOneAndAHalfSecondsIntoTheLevel) {
    // A red spawner in the last column (row 2) always sends its wolves off to the left, from
    // its bottom-left corner at (29 x 42, 3 x 23.625) = (1218, 70.875).
    std::vector<std::string> rows(20, row('.'));
    rows[2][29] = 'R';
    Session game({{1, levelScript(rows)}});
    ASSERT_TRUE(game.world().hasLevel());
    const unsigned entries = soundPlayer().getPlayCount(SFX::RoboEntry);

    game.run(89);
    EXPECT_EQ(game.opponent().getChildren().size(), 0u) << "no wolf before 1.5 s";
    EXPECT_EQ(soundPlayer().getPlayCount(SFX::RoboEntry), entries);
    EXPECT_EQ(game.opponent().getWolvesToSpawn(), 7);

    while (game.opponent().getChildren().empty() && game.frames < 95)
        game.frame();
    // 1.5 s more on the spawn timer is 90 frames; the float sum may need one more.
    EXPECT_GE(game.frames, 90);
    EXPECT_LE(game.frames, 91);
    ASSERT_EQ(game.opponent().getChildren().size(), 1u);
    auto* wolf = dynamic_cast<Wolf*>(game.opponent().getChildren().front().get());
    ASSERT_NE(wolf, nullptr);
    EXPECT_EQ(soundPlayer().getPlayCount(SFX::RoboEntry), entries + 1) << "the entry sound";
    EXPECT_EQ(game.opponent().getWolvesToSpawn(), 6);
    EXPECT_EQ(wolf->getMode(), Modes::Active);
    EXPECT_FLOAT_EQ(wolf->getVelocity().x, -100.f) << "walking left";
    // Bottom-right corner on the offer (the wolf is 50 x 70), give or take its first step.
    EXPECT_NEAR(wolf->getPosition().x + 50.f, 1218.f, 2.f);
    EXPECT_NEAR(wolf->getPosition().y + 70.f, 70.875f, 1.f);

    // The next one comes 3 s later.
    game.run(178);
    EXPECT_EQ(game.opponent().getChildren().size(), 1u);
    game.run(3);
    EXPECT_EQ(game.opponent().getChildren().size(), 2u);
}

TEST(WorldScenario, BumpingTheBlockUnderAWolfStunsItAndTouchingItThenScrapsIt) {
    // A ledge in row 25 (y 590.625 to 614.25), columns 4 to 7 (x 168 to 336). The wolf stands
    // on its right end, its feet one pixel on the last cell, so its body (x 326 to 369) hangs
    // out over the edge. The tank stands on the floor under columns 6 and 7.
    std::vector<std::string> rows = penRows(30);
    for (std::size_t column = 4; column <= 7; ++column)
        rows[25][column] = '#';
    Session game({{1, levelScript(rows)}});
    ASSERT_TRUE(game.world().hasLevel());
    game.drawing = true;
    const float floorY = 30 * TileHeight - 76.f;
    game.frame();
    Tank* tank = game.tank();
    ASSERT_NE(tank, nullptr);
    tank->setPosition(250.f, floorY);
    Wolf& wolf = addWolf(game.world(), {324.f, 590.625f - 70.f}, {0.f, 0.f});
    game.run(5);
    ASSERT_EQ(wolf.getMode(), Modes::Active);
    EXPECT_NEAR(wolf.getPosition().y, 520.625f, 1.f) << "the wolf stands on the ledge";
    Block* underWolf = game.world().getPlatform()->getBlock(25 * 30 + 7);
    ASSERT_NE(underWolf, nullptr);
    EXPECT_FALSE(underWolf->isBumping());

    const unsigned repairs = soundPlayer().getPlayCount(SFX::Repair);
    const unsigned strikes = soundPlayer().getPlayCount(SFX::BlockStruck);
    bool bumped = false;
    int held = 0;
    while (wolf.getMode() != Modes::Stunned && held < 30) {
        game.frame(HoldUp);
        ++held;
        bumped = bumped || underWolf->isBumping();
    }
    EXPECT_TRUE(bumped) << "the tank's head struck the block";
    EXPECT_EQ(wolf.getMode(), Modes::Stunned) << "the hopping block knocked the wolf over";
    EXPECT_LT(held, 15) << "a jump and a few frames of hop";
    EXPECT_EQ(soundPlayer().getPlayCount(SFX::Repair), repairs + 1);
    EXPECT_EQ(soundPlayer().getPlayCount(SFX::BlockStruck), strikes + 1) << "one strike heard";
    EXPECT_FLOAT_EQ(wolf.getVelocity().x, 0.f);
    EXPECT_FALSE(tank->isDestroyed()) << "the ledge lies between them";

    // Back on the floor, the tank drives out from under the ledge and comes back jumping, into
    // the stunned wolf's overhanging body.
    game.run(40);
    EXPECT_FLOAT_EQ(tank->getPosition().y, floorY);
    const unsigned deletes = soundPlayer().getPlayCount(SFX::RoboDelete);
    const unsigned explosions = soundPlayer().getPlayCount(SFX::Explosion);
    int frames = 0;
    while (tank->getPosition().x < 420.f && frames < 100) {
        game.frame(HoldRight);
        ++frames;
    }
    while (tank->getVelocity().x != 0.f && frames < 100) {
        game.frame();
        ++frames;
    }
    // Touched, the wolf is destroyed and leaves the scene in the same update.
    const Keys leftAndUp{true, false, true};
    int owed = 0;
    while (holdsWolf(game.opponent(), &wolf) && frames < 200) {
        owed = game.opponent().getWolvesToSpawn();
        game.frame(leftAndUp);
        ++frames;
    }
    ASSERT_FALSE(holdsWolf(game.opponent(), &wolf))
        << "the tank never reached the wolf; it is at " << tank->getPosition().x << ", "
        << tank->getPosition().y;
    EXPECT_EQ(soundPlayer().getPlayCount(SFX::RoboDelete), deletes + 1);
    EXPECT_EQ(game.opponent().getWolvesToSpawn(), owed + 1) << "the opponent owes another wolf";
    EXPECT_FALSE(tank->isDestroyed()) << "a stunned wolf is harmless";
    EXPECT_EQ(soundPlayer().getPlayCount(SFX::Explosion), explosions);
    EXPECT_EQ(game.tank(), tank);
}

TEST(WorldScenario, AWolfWrecksTheTankAndTheNextTankComesASecondAfterTheWreckIsGone) {
    Session game({{1, levelScript(penRows(30))}});
    ASSERT_TRUE(game.world().hasLevel());
    game.drawing = true;
    const float height = 30 * TileHeight; // 708.75
    game.frame();
    Tank* tank = game.tank();
    ASSERT_NE(tank, nullptr);
    // A wolf on the floor walking left at 100 px/s: its body (x + 2) meets the tank's (up to
    // 54.7) after about 1.5 s.
    addWolf(game.world(), {200.f, height - 70.f}, {-100.f, 0.f});
    const unsigned explosions = soundPlayer().getPlayCount(SFX::Explosion);

    while (!tank->isDestroyed() && game.frames < 200)
        game.frame();
    ASSERT_TRUE(tank->isDestroyed()) << "the wolf never reached the tank";
    EXPECT_GE(game.frames, 85);
    EXPECT_LE(game.frames, 95);
    EXPECT_EQ(soundPlayer().getPlayCount(SFX::Explosion), explosions + 1);
    EXPECT_FLOAT_EQ(tank->getVelocity().y, -400.f) << "the wreck hops";
    EXPECT_FLOAT_EQ(tank->getSize().x, 65.f) << "the wreck's picture";

    float y = tank->getPosition().y;
    game.frame();
    EXPECT_LT(tank->getPosition().y, y) << "up first";
    EXPECT_EQ(soundPlayer().getPlayCount(SFX::Explosion), explosions + 1)
        << "a wreck is not destroyed twice";

    bool fellOut = false;
    while (game.tank() == tank && game.frames < 400) {
        y = tank->getPosition().y;
        fellOut = fellOut || y > height;
        game.frame();
    }
    ASSERT_EQ(game.tank(), nullptr) << "the wreck was removed";
    EXPECT_TRUE(fellOut) << "through the bottom of the level";
    EXPECT_LT(y, height + 500.f) << "kept until 500 px below the level";
    EXPECT_GT(y, height + 475.f) << "and removed once there (it falls some 22 px a frame)";

    // The respawn timer counts one second down in whole microseconds: 60 frames of 16666 µs
    // leave 40 µs, the 61st frame ends the wait and the next update brings the tank.
    EXPECT_EQ(game.framesUntilATankComes(), 62);
    ASSERT_NE(game.tank(), nullptr);
    EXPECT_FALSE(game.tank()->isDestroyed());
    EXPECT_FLOAT_EQ(game.tank()->getPosition().x, 0.f);
    EXPECT_FLOAT_EQ(game.tank()->getPosition().y, height - 76.f);
    EXPECT_EQ(game.world().getPlayer()->getLives(), Player::StartLives - 2);
}

// Ledges five rows apart, as in the shipped levels: on the left (columns 0 to 9) in rows 9, 14,
// 19 (with a red spawner in column 1) and 24, on the right (columns 20 to 29) in rows 14 and 24;
// the gap between them and the world's floor below row 29.
std::vector<std::string> ledgeRows() {
    std::vector<std::string> rows(30, row('.'));
    for (std::size_t r : {9u, 14u, 19u, 24u})
        for (std::size_t column = 0; column < 10; ++column)
            rows[r][column] = '#';
    for (std::size_t r : {14u, 24u})
        for (std::size_t column = 20; column < 30; ++column)
            rows[r][column] = '#';
    rows[19][1] = 'R';
    return rows;
}

TEST(WorldScenario, AWreckOnAHighLedgeFallsThroughEverythingBelowItAndTheNextTankComes) {
    Session game({{1, levelScript(ledgeRows())}});
    ASSERT_TRUE(game.world().hasLevel());
    game.drawing = true;
    game.opponent().addWolves(-game.opponent().getWolvesToSpawn()); // no wolf of its own
    const float height = 30 * TileHeight;
    const float ledgeY = 14 * TileHeight - 76.f; // 18.5 px under the ledge of row 9
    game.frame();
    Tank* tank = game.tank();
    ASSERT_NE(tank, nullptr);
    tank->setPosition(0.f, ledgeY - 10.f);
    // Below the tank: a red unit's worth of spawner, a power-up and a stunned wolf.
    Player& player = *game.world().getPlayer();
    player.addColour(0);
    auto& objects = static_cast<Objects&>(game.world().getObjectsLayer());
    objects.spawn(0, 10.f, 19 * TileHeight);
    Wolf& wolf = addWolf(game.world(), {0.f, 24 * TileHeight - 70.f}, {0.f, 0.f});
    wolf.knock();
    game.run(40);
    ASSERT_FLOAT_EQ(tank->getPosition().y, ledgeY) << "the tank stands on its ledge";
    ASSERT_EQ(objects.getChildren().size(), 1u);
    ASSERT_NEAR(wolf.getPosition().y, 24 * TileHeight - 70.f, 1.f) << "on the lowest ledge";
    Spawner& spawner = *game.opponent().getSpawners().front();

    tank->destroy();
    const int wreckedAt = game.frames;
    bool bumped = false;
    float y = tank->getPosition().y;
    while (game.tank() == tank && game.frames < wreckedAt + 300) {
        y = tank->getPosition().y;
        game.frame();
        for (int column = 0; column < 10; ++column)
            bumped = bumped || game.world().getPlatform()->getBlock(9 * 30 + column)->isBumping();
    }
    ASSERT_EQ(game.tank(), nullptr) << "the wreck stays at y = " << y;
    EXPECT_GT(y, height + 460.f) << "it fell out of the level (some 32 px a frame at the end)";
    // Hop (0.27 s) and fall of some 1000 px (1.16 s).
    EXPECT_LE(game.frames - wreckedAt, 90);
    EXPECT_FALSE(bumped) << "the hop struck the ledge above";
    EXPECT_EQ(spawner.getTileNumber(), 6) << "the spawner was not paid";
    EXPECT_EQ(player.getColours(), (std::array<int, 4>{1, 0, 0, 0})) << "nothing paid or picked up";
    EXPECT_EQ(objects.getChildren().size(), 1u) << "the power-up is still there";
    EXPECT_TRUE(holdsWolf(game.opponent(), &wolf)) << "the stunned wolf was not scrapped";

    // A second after the wreck has gone, as on the floor.
    EXPECT_EQ(game.framesUntilATankComes(), 62);
    ASSERT_NE(game.tank(), nullptr);
    EXPECT_FALSE(game.tank()->isDestroyed());
    EXPECT_EQ(game.tank()->getPosition(), sf::Vector2f(0.f, height - 76.f));
    EXPECT_EQ(player.getLives(), Player::StartLives - 2);
}

TEST(WorldScenario, ALongFrameIsPlayedInStepsOfASixtiethOfASecond) {
    Session game({{1, levelScript(ledgeRows())}});
    ASSERT_TRUE(game.world().hasLevel());
    game.opponent().addWolves(-game.opponent().getWolvesToSpawn());
    game.frame();
    Tank* tank = game.tank();
    ASSERT_NE(tank, nullptr);

    // Falling at 600 px/s from 100 px above the right-hand ledge of row 24: in one step of a
    // quarter of a second the tank would end up 243.75 px lower, under the ledge.
    const float ledgeY = 24 * TileHeight - 76.f;
    tank->setPosition(900.f, ledgeY - 100.f);
    tank->setVelocity(0.f, 600.f);
    game.world().update(sf::seconds(0.25f));
    EXPECT_FLOAT_EQ(tank->getPosition().y, ledgeY) << "landed on the ledge";
    EXPECT_FLOAT_EQ(tank->getVelocity().y, 0.f);

    // From rest in the air a step of dt falls 1500 dt²: a sixtieth of a second is one step
    // (0.4167 px); two sixtieths are two steps (1.25 px, where one would fall 1.6667 px).
    for (const auto& [frame, fall] : {std::pair<sf::Time, float>{Frame, 1500.f / 3600.f},
                                      {sf::microseconds(2 * Frame.asMicroseconds()), 1.25f}}) {
        tank->setPosition(900.f, 100.f);
        tank->setVelocity(0.f, 0.f);
        game.world().update(frame);
        EXPECT_NEAR(tank->getPosition().y - 100.f, fall, 1e-3f) << frame.asMicroseconds() << " µs";
    }
}

TEST(WorldScenario, PayingTheLastSpawnerOffBuildsTheNextLevel) {
    // Level 1: a red spawner in the bottom row, column 6 (x 252 to 294), and a cell that may
    // take the key (row 10, column 15: cell 315). Level 2: two spawners.
    std::vector<std::string> first(20, row('.'));
    first[19][6] = 'R';
    first[10][15] = 'K';
    std::vector<std::string> second(25, row('.'));
    second[2][3] = 'B';
    second[2][25] = 'Y';
    Session game({{1, levelScript(first)}, {2, levelScript(second)}});
    ASSERT_TRUE(game.world().hasLevel());
    game.drawing = true;
    game.frame();
    Tank* tank = game.tank();
    ASSERT_NE(tank, nullptr);
    ASSERT_EQ(game.opponent().getSpawners().size(), 1u);
    Spawner* spawner = game.opponent().getSpawners().front();
    EXPECT_EQ(spawner->getColour(), 0);

    // Red, yellow and green power-ups dropped at the tank's feet: kinds 0, 1 and 3.
    auto& objects = static_cast<Objects&>(game.world().getObjectsLayer());
    const sf::Vector2f feet = tank->getPosition() + sf::Vector2f(20.f, 76.f);
    const unsigned pickups = soundPlayer().getPlayCount(SFX::PowerObtained);
    for (int kind : {0, 1, 3})
        objects.spawn(kind, feet.x, feet.y);
    game.frame();
    const auto& colours = game.world().getPlayer()->getColours();
    EXPECT_EQ(colours, (std::array<int, 4>{1, 1, 1, 0}));
    EXPECT_EQ(soundPlayer().getPlayCount(SFX::PowerObtained), pickups + 3);

    // Each frame the tank passes through the spawner pays one hit: red, yellow, green.
    const unsigned paid = soundPlayer().getPlayCount(SFX::PortalExplosion);
    std::vector<int> stages;
    int previous = spawner->getTileNumber();
    while (spawner->getColour() >= 0 && game.frames < 80) {
        const float x = tank->getPosition().x;
        game.frame(HoldRight);
        if (spawner->getTileNumber() != previous) {
            previous = spawner->getTileNumber();
            stages.push_back(previous);
            EXPECT_GT(tank->getPosition().x, x) << "the tank drives through the spawner";
        } else if (!stages.empty()) {
            ADD_FAILURE() << "a frame in the spawner without a paid hit, frame " << game.frames;
        }
        if (previous == 7) {
            EXPECT_EQ(game.opponent().getMarksOwed(), 1) << "the yellow stage asks for a mark";
        }
    }
    EXPECT_EQ(stages, (std::vector<int>{7, 8, -1}));
    EXPECT_EQ(soundPlayer().getPlayCount(SFX::PortalExplosion), paid + 3);
    EXPECT_EQ(colours, (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_EQ(game.world().getPlatform()->getBlock(315)->getItem(), 3)
        << "the green stage hid the key in the marked cell";

    // The destroyed spawner is dropped by the opponent in the next update, which also builds
    // level 2.
    EXPECT_EQ(game.world().getLevel(), 1);
    EXPECT_EQ(game.opponent().getSpawnerCount(), 1u);
    // A long frame: once the level has changed in a step, the new level waits for the next update.
    game.world().update(sf::seconds(0.25f));
    EXPECT_EQ(game.world().getLevel(), 2);
    EXPECT_EQ(game.opponent().getSpawnerCount(), 2u);
    EXPECT_FLOAT_EQ(worldSize.y, 25 * TileHeight);
    EXPECT_EQ(game.tank(), nullptr) << "a fresh player, whose tank comes with the next update";
    EXPECT_EQ(game.world().getPlayer()->getColours(), (std::array<int, 4>{0, 0, 0, 0}));
    game.frame();
    ASSERT_NE(game.tank(), nullptr);
    EXPECT_FLOAT_EQ(game.tank()->getPosition().y, 25 * TileHeight - 76.f);
    EXPECT_EQ(game.world().getPlayer()->getLives(), Player::StartLives - 1);
}

TEST(WorldScenario, TheTwentyFifthLostTankEndsTheGame) {
    Session game({{1, levelScript(penRows(20))}});
    ASSERT_TRUE(game.world().hasLevel());
    int gameOvers = 0;
    game.world().gameOverCallback = [&gameOvers] { ++gameOvers; };

    int tanks = 0;
    int lastRemoval = -1;
    Tank* current = nullptr;
    while (gameOvers == 0 && game.frames < 6000) {
        game.frame();
        Tank* tank = game.tank();
        if (tank && tank != current) {
            ++tanks;
            EXPECT_EQ(game.world().getPlayer()->getLives(), Player::StartLives - tanks);
        }
        if (!tank && current)
            lastRemoval = game.frames;
        if (tank && !tank->isDestroyed())
            tank->destroy();
        current = tank;
    }
    EXPECT_EQ(gameOvers, 1);
    EXPECT_EQ(tanks, 25);
    EXPECT_EQ(game.world().getPlayer()->getLives(), 0);
    EXPECT_EQ(game.tank(), nullptr);
    // Not before the last wreck has left and its second has passed (see the respawn above).
    EXPECT_EQ(game.frames - lastRemoval, 62);
    game.frame();
    EXPECT_EQ(gameOvers, 2) << "the player asks again on every update";
    game.world().update(sf::seconds(0.5f));
    EXPECT_EQ(gameOvers, 3) << "a long frame ends the game once, not once a step";
}

} // namespace
