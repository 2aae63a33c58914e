#include "world/SceneNode.hpp"

#include "core/Command.hpp"

#include <SFML/Graphics/RenderTarget.hpp>

#include <algorithm>
#include <cmath>

SceneNode::SceneNode() = default;

SceneNode::~SceneNode() = default;

void SceneNode::attachChild(Ptr child) {
    child->parent = this;
    children.push_back(std::move(child));
}

SceneNode::Ptr SceneNode::detachChild(const SceneNode& node) {
    const auto found = std::find_if(children.begin(), children.end(),
                                    [&](const Ptr& child) { return child.get() == &node; });
    if (found == children.end())
        return nullptr;
    Ptr result = std::move(*found);
    result->parent = nullptr;
    children.erase(found);
    return result;
}

void SceneNode::update(sf::Time dt) {
    updateCurrent(dt);
    // By index: a node may attach children during its own update, and they run in this pass.
    for (std::size_t i = 0; i < children.size(); ++i)
        children[i]->update(dt);
}

void SceneNode::updateCurrent(sf::Time) {}

void SceneNode::draw(sf::RenderTarget& target, sf::RenderStates states) const {
    states.transform *= getTransform();
    drawCurrent(target, states);
    for (const Ptr& child : children)
        target.draw(*child, states);
}

void SceneNode::drawCurrent(sf::RenderTarget&, sf::RenderStates) const {}

sf::FloatRect SceneNode::visibleArea(const sf::RenderTarget& target) {
    const sf::View& view = target.getView();
    const sf::Vector2u size = target.getSize();
    // A viewport may reach beyond the target, as the camera's does.
    const sf::Vector2f corner = target.mapPixelToCoords({0, 0}, view);
    const sf::Vector2f farCorner =
        target.mapPixelToCoords({static_cast<int>(size.x), static_cast<int>(size.y)}, view);
    const sf::FloatRect onTarget(std::min(corner.x, farCorner.x), std::min(corner.y, farCorner.y),
                                 std::abs(farCorner.x - corner.x),
                                 std::abs(farCorner.y - corner.y));
    const sf::FloatRect shown(view.getCenter() - view.getSize() / 2.f, view.getSize());
    sf::FloatRect visible;
    return onTarget.intersects(shown, visible) ? visible : sf::FloatRect();
}

bool SceneNode::isInView(const sf::RenderTarget& target, const sf::RenderStates& states,
                         const sf::FloatRect& local) {
    return states.transform.transformRect(local).intersects(visibleArea(target));
}

void SceneNode::onCommand(const Command& command, sf::Time dt) {
    if ((command.category & getCategory()) != 0 && command.action)
        command.action(*this, dt);
    for (std::size_t i = 0; i < children.size(); ++i)
        children[i]->onCommand(command, dt);
}

sf::Transform SceneNode::getWorldTransform() const {
    sf::Transform transform = sf::Transform::Identity;
    for (const SceneNode* node = this; node != nullptr; node = node->parent)
        transform = node->getTransform() * transform;
    return transform;
}

void SceneNode::removeWrecks() {
    const auto wreckfield =
        std::stable_partition(children.begin(), children.end(),
                              [](const Ptr& child) { return !child->isMarkedForRemoval(); });
    children.erase(wreckfield, children.end());
    for (const Ptr& child : children)
        child->removeWrecks();
}

void SceneNode::clearChildren() {
    for (Ptr& child : children) {
        child->clearChildren();
        child.reset();
    }
    children.clear();
}

std::uint32_t SceneNode::getCategory() const {
    return category;
}

void SceneNode::setCategory(std::uint32_t value) {
    category = value;
}

int SceneNode::getKind() const {
    return kind;
}

void SceneNode::setKind(int value) {
    kind = value;
}

sf::Vector2f SceneNode::getSize() const {
    return size;
}

void SceneNode::setSize(sf::Vector2f value) {
    size = value;
}

void SceneNode::getBoundingRect(std::vector<sf::FloatRect>& out) const {
    out.clear();
    out.emplace_back(0.f, 0.f, 0.f, 0.f);
}

void SceneNode::checkNodeCollision(SceneNode& node, std::set<Pair>& pairs) {
    if (this != &node && collision(*this, node))
        pairs.insert(std::minmax(this, &node));
    for (const Ptr& child : children)
        child->checkNodeCollision(node, pairs);
}

void SceneNode::checkSceneCollision(SceneNode& graph, std::set<Pair>& pairs) {
    checkNodeCollision(graph, pairs);
    for (const Ptr& child : graph.children)
        checkSceneCollision(*child, pairs);
}

void SceneNode::collectCollidables(std::vector<SceneNode*>& out) {
    if (collidable)
        out.push_back(this);
    for (const Ptr& child : children)
        child->collectCollidables(out);
}

bool SceneNode::isMarkedForRemoval() const {
    return false;
}

bool SceneNode::isDestroyed() const {
    return false;
}

bool collision(const SceneNode& lhs, const SceneNode& rhs) {
    // Reused between calls: the collision pass asks this for many pairs every frame.
    thread_local std::vector<sf::FloatRect> lhsRect;
    thread_local std::vector<sf::FloatRect> rhsRect;
    lhs.getBoundingRect(lhsRect);
    rhs.getBoundingRect(rhsRect);
    if (lhsRect.empty() || rhsRect.empty())
        return false;
    return lhsRect[0].intersects(rhsRect[0]);
}
