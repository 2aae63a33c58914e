#include "core/CommandQueue.hpp"
#include "world/SceneNode.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A node with a name and a category, so tests can see who ran which action.
class NamedNode : public SceneNode {
public:
    NamedNode(std::string name, std::uint32_t category) : name(std::move(name)) {
        setCategory(category);
    }
    std::string name;
};

struct Tree {
    SceneNode root;
    NamedNode* tank = nullptr;
    NamedNode* player = nullptr;
    NamedNode* layer = nullptr;

    Tree() {
        auto layerNode = std::make_unique<NamedNode>("layer", Category::None);
        auto playerNode = std::make_unique<NamedNode>("player", Category::Player);
        auto tankNode = std::make_unique<NamedNode>("tank", Category::Tank);
        tank = tankNode.get();
        player = playerNode.get();
        layer = layerNode.get();
        playerNode->attachChild(std::move(tankNode));
        layerNode->attachChild(std::move(playerNode));
        root.attachChild(std::move(layerNode));
    }
};

void drain(CommandQueue& queue, SceneNode& root, sf::Time dt) {
    while (!queue.isEmpty())
        root.onCommand(queue.pop(), dt);
}

TEST(CommandQueue, FirstInFirstOut) {
    CommandQueue queue;
    EXPECT_TRUE(queue.isEmpty());
    Command first;
    first.category = 1;
    Command second;
    second.category = 2;
    queue.push(first);
    queue.push(second);
    EXPECT_EQ(queue.pop().category, 1u);
    EXPECT_EQ(queue.pop().category, 2u);
    EXPECT_TRUE(queue.isEmpty());
    EXPECT_EQ(queue.pop().category, 0u) << "popping an empty queue gives an empty command";
}

TEST(CommandDelivery, ReachesOnlyMatchingNodesParentsBeforeChildren) {
    Tree tree;
    std::vector<std::string> visited;
    Command command;
    command.category = Category::Tank | Category::Player;
    command.action = [&](SceneNode& node, sf::Time) {
        visited.push_back(static_cast<NamedNode&>(node).name);
    };
    tree.root.onCommand(command, sf::Time::Zero);
    EXPECT_EQ(visited, (std::vector<std::string>{"player", "tank"}));
}

TEST(CommandDelivery, CategoryZeroOrUnmatchedCommandsRunNowhere) {
    Tree tree;
    int runs = 0;
    Command command;
    command.action = [&](SceneNode&, sf::Time) { ++runs; };
    tree.root.onCommand(command, sf::Time::Zero);
    command.category = Category::Animal;
    tree.root.onCommand(command, sf::Time::Zero);
    EXPECT_EQ(runs, 0);
}

TEST(CommandDelivery, CommandsPushedDuringADrainRunInTheSameDrainAfterEarlierOnes) {
    Tree tree;
    CommandQueue queue;
    std::vector<std::string> order;
    Command follower;
    follower.category = Category::Tank;
    follower.action = [&](SceneNode&, sf::Time) { order.push_back("follower"); };
    Command leader;
    leader.category = Category::Player;
    leader.action = [&](SceneNode&, sf::Time) {
        order.push_back("leader");
        queue.push(follower);
    };
    Command second;
    second.category = Category::Tank;
    second.action = [&](SceneNode&, sf::Time dt) {
        order.push_back("second " + std::to_string(dt.asMilliseconds()));
    };
    queue.push(leader);
    queue.push(second);
    drain(queue, tree.root, sf::milliseconds(16));
    EXPECT_EQ(order, (std::vector<std::string>{"leader", "second 16", "follower"}));
    EXPECT_TRUE(queue.isEmpty());
}

TEST(CommandDelivery, TheProcessWideQueueIsOneInstance) {
    EXPECT_EQ(&commandQueue(), &commandQueue());
}

} // namespace
