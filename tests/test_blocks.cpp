#include "world/Block.hpp"

#include "actors/Objects.hpp"
#include "actors/Opponent.hpp"
#include "actors/Player.hpp"
#include "actors/PowerUp.hpp"
#include "actors/Tank.hpp"
#include "actors/Wolf.hpp"
#include "world/Platform.hpp"
#include "world/Portal.hpp"
#include "world/PowerBlock.hpp"
#include "world/Spawner.hpp"

#include "LevelTestSupport.hpp"

#include <gtest/gtest.h>

namespace {

using leveltest::GameFolder;
using leveltest::LoneBlock;
using leveltest::StreamCapture;
using leveltest::takeCommands;

// The nodes that blocks address: the map (for hops and keys), the power-up holder, the player
// and the opponent, under one root that commands are delivered to.
class BlockTest : public ::testing::Test {
protected:
    BlockTest() {
        auto map = std::make_unique<Platform>();
        platform = map.get();
        root.attachChild(std::move(map));
        auto holder = std::make_unique<Objects>();
        objects = holder.get();
        root.attachChild(std::move(holder));
        auto side = std::make_unique<Player>();
        player = side.get();
        root.attachChild(std::move(side));
        auto enemy = std::make_unique<Opponent>();
        opponent = enemy.get();
        root.attachChild(std::move(enemy));
    }

    void deliver() { leveltest::deliverAll(root); }
    std::vector<int> powerUpKinds() const {
        std::vector<int> kinds;
        for (const auto& child : objects->getChildren())
            kinds.push_back(dynamic_cast<const PowerUp&>(*child).getKindOfPowerUp());
        return kinds;
    }

    GameFolder folder;
    SceneNode root;
    Platform* platform;
    Objects* objects;
    Player* player;
    Opponent* opponent;
};

// ---------------------------------------------------------------------------------------------
// Plain blocks

TEST_F(BlockTest, TankFallingOntoABlockStandsOnItsTop) {
    LoneBlock block(1, 300.f, 400.f);
    Tank tank;
    tank.setPosition(310.f, 330.f);
    tank.setVelocity(40.f, 300.f);
    block->land(&tank);
    EXPECT_EQ(tank.getPosition(), sf::Vector2f(310.f, 324.f));
    EXPECT_EQ(tank.getVelocity(), sf::Vector2f(40.f, 0.f));
    EXPECT_TRUE(tank.isGrounded());

    Tank rising;
    rising.setVelocity(0.f, -200.f);
    block->land(&rising);
    EXPECT_EQ(rising.getVelocity().y, -200.f);
}

TEST_F(BlockTest, TankStrikingFromBelowIsStoppedUnderItAndBumpsIt) {
    LoneBlock block(1, 300.f, 400.f);
    Tank tank;
    tank.setPosition(310.f, 430.f);
    tank.setVelocity(20.f, -600.f);
    block->hitFromBelow(&tank);
    EXPECT_EQ(tank.getPosition(), sf::Vector2f(310.f, 436.f));
    EXPECT_EQ(tank.getVelocity(), sf::Vector2f(20.f, 0.f));
    EXPECT_TRUE(block->isBumping());
    EXPECT_EQ(platform->getBumpStep(block.block.get()), 0);
    EXPECT_TRUE(commandQueue().isEmpty());
}

TEST_F(BlockTest, AnimalStrikingFromBelowIsStoppedButDoesNotBump) {
    LoneBlock block(1, 300.f, 400.f);
    ASSERT_TRUE(block->tryAssignKey());
    Wolf wolf(folder.holder);
    wolf.setPosition(310.f, 430.f);
    wolf.setVelocity(100.f, -50.f);
    block->hitFromBelow(&wolf);
    EXPECT_EQ(wolf.getPosition(), sf::Vector2f(310.f, 436.f));
    EXPECT_EQ(wolf.getVelocity(), sf::Vector2f(100.f, 0.f));
    EXPECT_FALSE(block->isBumping());
    EXPECT_EQ(block->getItem(), 3);
    EXPECT_TRUE(commandQueue().isEmpty());
}

TEST_F(BlockTest, StruckItemComesOutAtTheTopLeftCorner) {
    LoneBlock block(2, 300.f, 400.f);
    ASSERT_TRUE(block->tryAssignKey());
    EXPECT_FALSE(block->tryAssignKey());
    Tank tank;
    block->hitFromBelow(&tank);
    EXPECT_EQ(block->getItem(), -1);
    const auto commands = takeCommands();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].category, Category::Objects);
    root.onCommand(commands[0], sf::Time::Zero);
    ASSERT_EQ(powerUpKinds(), std::vector<int>{3});
    // A 32-pixel token stands on the corner (300, 400).
    EXPECT_EQ(objects->getChildren()[0]->getPosition(), sf::Vector2f(300.f, 368.f));
    // Struck again, it has nothing left to give.
    block->hitFromBelow(&tank);
    EXPECT_TRUE(commandQueue().isEmpty());
}

TEST_F(BlockTest, HopFromBelowReleasesTheItemToo) {
    LoneBlock block(1, 300.f, 400.f);
    ASSERT_TRUE(block->tryAssignKey());
    block->hitFromBelow(nullptr);
    EXPECT_TRUE(block->isBumping());
    deliver();
    EXPECT_EQ(powerUpKinds(), std::vector<int>{3});
}

TEST_F(BlockTest, AnimalWalkingIntoTheRightSideTurnsLeftOnePixelAway) {
    LoneBlock block(1, 300.f, 400.f);
    Wolf wolf(folder.holder);
    wolf.setPosition(260.f, 380.f);
    wolf.setVelocity(100.f, 30.f);
    block->hitSide(&wolf, std::bitset<8>().set(4));
    EXPECT_EQ(wolf.getPosition(), sf::Vector2f(249.f, 380.f));
    EXPECT_EQ(wolf.getVelocity(), sf::Vector2f(-100.f, 30.f));
    // Touching with its left half it is put at the block's right edge and walks right.
    wolf.setVelocity(-100.f, 0.f);
    block->hitSide(&wolf, std::bitset<8>().set(3));
    EXPECT_EQ(wolf.getPosition(), sf::Vector2f(364.f, 380.f));
    EXPECT_EQ(wolf.getVelocity().x, 100.f);
}

TEST_F(BlockTest, TankWalkingIntoASideStops) {
    LoneBlock block(1, 300.f, 400.f);
    Tank tank;
    tank.setPosition(250.f, 380.f);
    tank.setVelocity(300.f, 20.f);
    tank.setAcceleration(900.f, 1500.f);
    block->hitSide(&tank, std::bitset<8>().set(4));
    EXPECT_EQ(tank.getPosition(), sf::Vector2f(244.f, 380.f));
    EXPECT_EQ(tank.getVelocity(), sf::Vector2f(0.f, 20.f));
    EXPECT_EQ(tank.getAcceleration(), sf::Vector2f(0.f, 1500.f));
    // Without a side bit the tank stops where it is.
    tank.setPosition(280.f, 380.f);
    tank.setVelocity(300.f, 0.f);
    block->hitSide(&tank, {});
    EXPECT_EQ(tank.getPosition(), sf::Vector2f(280.f, 380.f));
    EXPECT_EQ(tank.getVelocity().x, 0.f);
}

TEST_F(BlockTest, LandingOnAHoppingBlockKnocksAnAnimal) {
    LoneBlock block(1, 300.f, 400.f);
    Wolf wolf(folder.holder);
    wolf.setVelocity(100.f, 200.f);
    block->land(&wolf);
    EXPECT_EQ(wolf.getMode(), Modes::Active);
    EXPECT_EQ(wolf.getPosition().y, 330.f);
    platform->bump(block.block.get());
    block->land(&wolf);
    EXPECT_EQ(wolf.getMode(), Modes::Stunned);
    EXPECT_EQ(wolf.getVelocity().x, 0.f);
}

TEST_F(BlockTest, TextureFollowsTheTileNumber) {
    LoneBlock four(4, 0.f, 0.f);
    EXPECT_EQ(four.vertices[0].texCoords, sf::Vector2f(192.f, 0.f));
    EXPECT_EQ(four.vertices[1].texCoords, sf::Vector2f(256.f, 0.f));
    EXPECT_EQ(four.vertices[2].texCoords, sf::Vector2f(256.f, 36.f));
    EXPECT_EQ(four.vertices[3].texCoords, sf::Vector2f(192.f, 36.f));
    LoneBlock twentyThree(23, 0.f, 0.f);
    EXPECT_EQ(twentyThree.vertices[0].texCoords, sf::Vector2f(128.f, 72.f));
    LoneBlock nothing(0, 0.f, 0.f);
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(nothing.vertices[i].texCoords, sf::Vector2f(0.f, 0.f));
}

// ---------------------------------------------------------------------------------------------
// Power blocks

TEST_F(BlockTest, PowerBlockReleasesOneRedPowerUpAndLooksLikeTileFour) {
    LoneBlock block(5, 300.f, 400.f);
    auto& power = dynamic_cast<PowerBlock&>(*block.block);
    EXPECT_TRUE(power.isCharged());
    Tank tank;
    block->hitFromBelow(&tank);
    EXPECT_FALSE(power.isCharged());
    EXPECT_EQ(block->getTileNumber(), 4);
    EXPECT_EQ(block.vertices[0].texCoords, sf::Vector2f(192.f, 0.f));
    deliver();
    EXPECT_EQ(powerUpKinds(), std::vector<int>{0});
    block->hitFromBelow(&tank);
    EXPECT_TRUE(commandQueue().isEmpty());
    EXPECT_EQ(powerUpKinds(), std::vector<int>{0});
}

TEST_F(BlockTest, PowerBlockWithAKeyGivesTheKeyFirst) {
    LoneBlock block(5, 300.f, 400.f);
    ASSERT_TRUE(block->tryAssignKey());
    block->hitFromBelow(nullptr);
    deliver();
    EXPECT_EQ(powerUpKinds(), (std::vector<int>{3, 0}));
}

TEST_F(BlockTest, PowerBlockKeepsItsChargeWhenAnAnimalBumpsItsHead) {
    LoneBlock block(5, 300.f, 400.f);
    Wolf wolf(folder.holder);
    block->hitFromBelow(&wolf);
    EXPECT_TRUE(dynamic_cast<PowerBlock&>(*block.block).isCharged());
    EXPECT_EQ(block->getTileNumber(), 5);
    EXPECT_TRUE(commandQueue().isEmpty());
}

// ---------------------------------------------------------------------------------------------
// Spawners

TEST_F(BlockTest, SpawnerAnnouncesItselfToTheOpponent) {
    LoneBlock block(6, 300.f, 400.f);
    const auto commands = takeCommands();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].category, Category::Opponent);
    root.onCommand(commands[0], sf::Time::Zero);
    ASSERT_EQ(opponent->getSpawnerCount(), 1u);
    EXPECT_EQ(opponent->getSpawners()[0], &block.spawner());
}

TEST_F(BlockTest, ActorsPassThroughSpawners) {
    LoneBlock block(7, 300.f, 400.f);
    leveltest::drainQueue();
    Wolf wolf(folder.holder);
    wolf.setPosition(310.f, 380.f);
    wolf.setVelocity(100.f, 300.f);
    block->land(&wolf);
    block->hitFromBelow(&wolf);
    block->hitSide(&wolf, std::bitset<8>().set(4));
    EXPECT_EQ(wolf.getPosition(), sf::Vector2f(310.f, 380.f));
    EXPECT_EQ(wolf.getVelocity(), sf::Vector2f(100.f, 300.f));
    EXPECT_TRUE(commandQueue().isEmpty());

    Tank tank;
    tank.setPosition(310.f, 380.f);
    tank.setVelocity(0.f, 300.f);
    block->land(&tank);
    EXPECT_EQ(tank.getPosition(), sf::Vector2f(310.f, 380.f));
    EXPECT_EQ(tank.getVelocity().y, 300.f);
    // Every touch by the tank asks the player to pay.
    block->hitFromBelow(&tank);
    block->hitSide(&tank, {});
    const auto commands = takeCommands();
    ASSERT_EQ(commands.size(), 3u);
    for (const Command& command : commands)
        EXPECT_EQ(command.category, Category::Player);
}

// Touches the spawner with a tank and lets the player pay; returns what the paid hit queued.
std::vector<Command> paidTouch(Block& spawner, Player& player) {
    Tank tank;
    spawner.hitSide(&tank, {});
    auto commands = takeCommands();
    EXPECT_EQ(commands.size(), 1u);
    for (const Command& command : commands)
        player.onCommand(command, sf::Time::Zero);
    return takeCommands();
}

TEST_F(BlockTest, RedSpawnerTakesThreePaidHits) {
    leveltest::writeGrid(1, 30, 10, {{57, 1}}, {57});
    ASSERT_TRUE(platform->loadLevel(1));
    LoneBlock block(6, 300.f, 400.f);
    leveltest::drainQueue();
    Spawner& spawner = block.spawner();
    EXPECT_EQ(spawner.getColour(), 0);

    // Nothing to pay with: nothing happens.
    EXPECT_TRUE(paidTouch(*block.block, *player).empty());
    EXPECT_EQ(block->getTileNumber(), 6);

    // Red paid: yellow now, and the opponent is asked to mark a wolf.
    player->addColour(0);
    auto queued = paidTouch(*block.block, *player);
    EXPECT_EQ(block->getTileNumber(), 7);
    EXPECT_EQ(spawner.getColour(), 1);
    EXPECT_EQ(player->getColours()[0], 0);
    EXPECT_EQ(block.vertices[0].texCoords, sf::Vector2f(384.f, 0.f));
    ASSERT_EQ(queued.size(), 1u);
    EXPECT_EQ(queued[0].category, Category::Opponent);
    root.onCommand(queued[0], sf::Time::Zero);
    EXPECT_EQ(opponent->getMarksOwed(), 1);

    // Red again does not pay for a yellow spawner.
    player->addColour(0);
    EXPECT_TRUE(paidTouch(*block.block, *player).empty());
    EXPECT_EQ(block->getTileNumber(), 7);
    EXPECT_EQ(player->getColours()[0], 1);

    // Yellow paid: green now, and the map hides the key.
    player->addColour(1);
    queued = paidTouch(*block.block, *player);
    EXPECT_EQ(block->getTileNumber(), 8);
    ASSERT_EQ(queued.size(), 1u);
    EXPECT_EQ(queued[0].category, Category::Platform);
    {
        StreamCapture out(std::cout);
        root.onCommand(queued[0], sf::Time::Zero);
        EXPECT_EQ(out.str(), "Generated at 57\n");
    }

    // Green paid: destroyed, and nothing of it is drawn.
    player->addColour(2);
    EXPECT_TRUE(paidTouch(*block.block, *player).empty());
    EXPECT_EQ(block->getTileNumber(), -1);
    EXPECT_EQ(spawner.getColour(), -7);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(block.vertices[i].position, sf::Vector2f(0.f, 0.f));
        EXPECT_EQ(block.vertices[i].texCoords, sf::Vector2f(0.f, 0.f));
    }
    // A destroyed spawner takes no more payment.
    player->addColour(2);
    EXPECT_TRUE(paidTouch(*block.block, *player).empty());
    EXPECT_EQ(player->getColours()[2], 1);
    EXPECT_EQ(block->getTileNumber(), -1);
}

TEST_F(BlockTest, GreenAndBlueSpawnersGoWithOneHit) {
    for (int tile : {8, 9}) {
        LoneBlock block(tile, 300.f, 400.f);
        leveltest::drainQueue();
        player->addColour(tile - 6);
        EXPECT_TRUE(paidTouch(*block.block, *player).empty());
        EXPECT_EQ(block->getTileNumber(), -1) << tile;
    }
}

TEST_F(BlockTest, AdvancingADestroyedSpawnerDoesNothing) {
    LoneBlock block(9, 300.f, 400.f);
    block.spawner().advance();
    ASSERT_EQ(block->getTileNumber(), -1);
    block.spawner().advance();
    EXPECT_EQ(block->getTileNumber(), -1);
    EXPECT_EQ(block.vertices[0].texCoords, sf::Vector2f(0.f, 0.f));
}

int leftwardOffers(Spawner& spawner, const LoneBlock& block, int draws) {
    int left = 0;
    for (int i = 0; i < draws; ++i) {
        const auto [point, direction] = spawner.getSpawnInfo();
        if (direction == sf::Vector2f(-1.f, 0.f)) {
            EXPECT_EQ(point, block.vertices[3].position);
            ++left;
        } else {
            EXPECT_EQ(direction, sf::Vector2f(1.f, 0.f));
            EXPECT_EQ(point, block.vertices[2].position);
        }
    }
    return left;
}

TEST_F(BlockTest, SpawnerAtTheRightEdgeAlwaysSendsAnimalsLeft) {
    LoneBlock block(6, 1856.f, 400.f, 29);
    EXPECT_EQ(leftwardOffers(block.spawner(), block, 300), 300);
}

TEST_F(BlockTest, SpawnerAtTheLeftEdgeAlmostAlwaysSendsThemRight) {
    LoneBlock block(6, 0.f, 400.f, 0);
    // Only a draw of 0 out of 0..100 goes left.
    EXPECT_LE(leftwardOffers(block.spawner(), block, 300), 12);
}

TEST_F(BlockTest, SpawnerInTheMiddleSendsThemBothWays) {
    LoneBlock block(6, 900.f, 400.f, 14);
    const int left = leftwardOffers(block.spawner(), block, 400);
    EXPECT_GT(left, 120);
    EXPECT_LT(left, 280);
}

TEST_F(BlockTest, EverySpawnerDrawsTheSameSequence) {
    LoneBlock first(6, 900.f, 400.f, 14);
    LoneBlock second(7, 900.f, 400.f, 14);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(first.spawner().getSpawnInfo(), second.spawner().getSpawnInfo());
}

// ---------------------------------------------------------------------------------------------
// Portals

TEST_F(BlockTest, PortalSendsAnimalsBackThroughTheOpponent) {
    LoneBlock spawnerBlock(7, 1856.f, 400.f, 29);
    deliver();
    ASSERT_EQ(opponent->getSpawnerCount(), 1u);
    LoneBlock portal(10, 300.f, 400.f);
    Wolf wolf(folder.holder);
    wolf.setPosition(290.f, 380.f);
    wolf.setVelocity(-100.f, 0.f);
    portal->hitSide(&wolf, std::bitset<8>().set(3));
    // Nothing happens to the wolf until the opponent gets the command.
    EXPECT_EQ(wolf.getPosition(), sf::Vector2f(290.f, 380.f));
    const auto commands = takeCommands();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].category, Category::Opponent);
    root.onCommand(commands[0], sf::Time::Zero);
    // The right-edge spawner offers its bottom-left corner (1856, 436), heading left.
    EXPECT_EQ(wolf.getPosition(), sf::Vector2f(1806.f, 366.f));
    EXPECT_EQ(wolf.getVelocity(), sf::Vector2f(-150.f, 0.f));
    // Landing on or bumping into a portal counts as entering it too.
    portal->land(&wolf);
    portal->hitFromBelow(&wolf);
    EXPECT_EQ(takeCommands().size(), 2u);
}

TEST_F(BlockTest, TankPassesThroughPortals) {
    LoneBlock portal(10, 300.f, 400.f);
    Tank tank;
    tank.setPosition(290.f, 380.f);
    tank.setVelocity(100.f, 300.f);
    portal->land(&tank);
    portal->hitFromBelow(&tank);
    portal->hitSide(&tank, std::bitset<8>().set(4));
    EXPECT_EQ(tank.getPosition(), sf::Vector2f(290.f, 380.f));
    EXPECT_EQ(tank.getVelocity(), sf::Vector2f(100.f, 300.f));
    EXPECT_TRUE(commandQueue().isEmpty());
}

} // namespace
