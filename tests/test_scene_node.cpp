#include "world/SceneNode.hpp"
#include "world/SpriteNode.hpp"
#include "world/WorldGlobals.hpp"

#include "TestSupport.hpp"
#include "core/ResourceHolder.hpp"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

// A node with a fixed body rectangle in its own coordinates, mapped through its world transform.
class BoxNode : public SceneNode {
public:
    explicit BoxNode(sf::FloatRect box, bool collide = true, int* deaths = nullptr)
        : box(box), deaths(deaths) {
        setCollidable(collide);
    }
    ~BoxNode() override {
        if (deaths)
            ++*deaths;
    }
    void getBoundingRect(std::vector<sf::FloatRect>& out) const override {
        out.clear();
        out.push_back(getWorldTransform().transformRect(box));
        out.emplace_back(-1000.f, -1000.f, 5000.f, 5000.f); // a probe that overlaps everything
    }
    bool isMarkedForRemoval() const override { return remove; }
    sf::FloatRect box;
    bool remove = false;
    int* deaths;
};

TEST(SceneNodeCollision, BodiesMustOverlapWithPositiveArea) {
    BoxNode a({0.f, 0.f, 10.f, 10.f});
    BoxNode touching({10.f, 0.f, 10.f, 10.f});
    BoxNode overlapping({9.f, 9.f, 10.f, 10.f});
    SceneNode plain;
    EXPECT_FALSE(collision(a, touching)) << "sharing an edge is no collision";
    EXPECT_TRUE(collision(a, overlapping));
    EXPECT_FALSE(collision(a, plain)) << "a node without rectangles has an empty body";
    BoxNode farAway({100.f, 100.f, 5.f, 5.f});
    EXPECT_FALSE(collision(a, farAway)) << "overlapping probes alone are no collision";
}

TEST(SceneNodeCollision, PairsAreStoredOnceLowerAddressFirstAndNeverWithItself) {
    SceneNode root;
    auto first = std::make_unique<BoxNode>(sf::FloatRect(0.f, 0.f, 10.f, 10.f));
    auto second = std::make_unique<BoxNode>(sf::FloatRect(5.f, 5.f, 10.f, 10.f));
    BoxNode* a = first.get();
    BoxNode* b = second.get();
    root.attachChild(std::move(first));
    root.attachChild(std::move(second));
    std::set<SceneNode::Pair> pairs;
    root.checkNodeCollision(*a, pairs);
    root.checkNodeCollision(*b, pairs);
    ASSERT_EQ(pairs.size(), 1u);
    const auto& pair = *pairs.begin();
    EXPECT_LT(pair.first, pair.second);
    EXPECT_TRUE((pair.first == a && pair.second == b) || (pair.first == b && pair.second == a));
}

TEST(SceneNodeTraversal, WorldTransformCombinesAncestorsFromTheRoot) {
    SceneNode root;
    root.setPosition(10.f, 0.f);
    auto child = std::make_unique<SceneNode>();
    child->setPosition(5.f, 0.f);
    SceneNode* childPtr = child.get();
    root.attachChild(std::move(child));
    EXPECT_EQ(root.getWorldTransform().transformPoint(0.f, 0.f), sf::Vector2f(10.f, 0.f));
    EXPECT_EQ(childPtr->getWorldTransform().transformPoint(0.f, 0.f), sf::Vector2f(15.f, 0.f));
    root.setScale(2.f, 2.f);
    EXPECT_EQ(childPtr->getWorldTransform().transformPoint(1.f, 0.f), sf::Vector2f(22.f, 0.f));
}

TEST(SceneNodeTraversal, CollidablesAreListedDepthFirst) {
    SceneNode root;
    auto branch = std::make_unique<SceneNode>();
    auto leafA = std::make_unique<BoxNode>(sf::FloatRect(), true);
    auto leafB = std::make_unique<BoxNode>(sf::FloatRect(), true);
    auto sibling = std::make_unique<BoxNode>(sf::FloatRect(), true);
    SceneNode* a = leafA.get();
    SceneNode* b = leafB.get();
    SceneNode* c = sibling.get();
    leafA->attachChild(std::move(leafB));
    branch->attachChild(std::move(leafA));
    root.attachChild(std::move(branch));
    root.attachChild(std::move(sibling));
    std::vector<SceneNode*> found;
    root.collectCollidables(found);
    EXPECT_EQ(found, (std::vector<SceneNode*>{a, b, c}));
}

TEST(SceneNodeRemoval, MarkedChildGoesWithItsWholeSubtreeOthersKeepTheirOrder) {
    int deaths = 0;
    SceneNode root;
    auto keep1 = std::make_unique<BoxNode>(sf::FloatRect(), false, &deaths);
    auto doomed = std::make_unique<BoxNode>(sf::FloatRect(), false, &deaths);
    auto keep2 = std::make_unique<BoxNode>(sf::FloatRect(), false, &deaths);
    doomed->attachChild(std::make_unique<BoxNode>(sf::FloatRect(), false, &deaths));
    doomed->remove = true;
    SceneNode* k1 = keep1.get();
    SceneNode* k2 = keep2.get();
    root.attachChild(std::move(keep1));
    root.attachChild(std::move(doomed));
    root.attachChild(std::move(keep2));
    root.removeWrecks();
    EXPECT_EQ(deaths, 2) << "the marked child and its unmarked child are freed";
    ASSERT_EQ(root.getChildren().size(), 2u);
    EXPECT_EQ(root.getChildren()[0].get(), k1);
    EXPECT_EQ(root.getChildren()[1].get(), k2);
}

TEST(SceneNodeRemoval, ClearChildrenFreesEverythingButKeepsTheRoot) {
    int deaths = 0;
    SceneNode root;
    root.setPosition(3.f, 4.f);
    auto branch = std::make_unique<BoxNode>(sf::FloatRect(), false, &deaths);
    branch->attachChild(std::make_unique<BoxNode>(sf::FloatRect(), false, &deaths));
    root.attachChild(std::move(branch));
    root.clearChildren();
    EXPECT_EQ(deaths, 2);
    EXPECT_TRUE(root.getChildren().empty());
    EXPECT_EQ(root.getPosition(), sf::Vector2f(3.f, 4.f));
}

TEST(SceneNodeTraversal, DetachChildHandsOwnershipBack) {
    SceneNode root;
    auto child = std::make_unique<SceneNode>();
    SceneNode* raw = child.get();
    root.attachChild(std::move(child));
    EXPECT_EQ(raw->getParent(), &root);
    SceneNode::Ptr back = root.detachChild(*raw);
    EXPECT_EQ(back.get(), raw);
    EXPECT_EQ(raw->getParent(), nullptr);
    EXPECT_TRUE(root.getChildren().empty());
    EXPECT_EQ(root.detachChild(*raw), nullptr) << "a node that is not a child is not found";
}

TEST(SpriteNode, ScalesTheBackgroundToTheWindow) {
    testsupport::TempDir dir;
    sf::Image image;
    image.create(640, 360, sf::Color::Blue);
    ASSERT_TRUE(image.saveToFile((dir / "bg.png").string()));
    TextureHolder holder;
    holder.load(Textures::Platform, (dir / "bg.png").string());
    textureHolder = &holder;
    windowSize = {1280, 720};
    SpriteNode node;
    EXPECT_EQ(node.getScale(), sf::Vector2f(2.f, 2.f));
    textureHolder = nullptr;
}

} // namespace
