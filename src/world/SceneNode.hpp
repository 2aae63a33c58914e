#pragma once

#include "core/Category.hpp"

#include <SFML/Graphics/Drawable.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/RenderStates.hpp>
#include <SFML/Graphics/Transformable.hpp>
#include <SFML/System/NonCopyable.hpp>
#include <SFML/System/Time.hpp>
#include <SFML/System/Vector2.hpp>

#include <cstdint>
#include <memory>
#include <set>
#include <utility>
#include <vector>

struct Command;

// A node of the scene graph. A parent owns its children; the children's order is the order of
// update, drawing, command delivery and every traversal.
class SceneNode : public sf::Transformable, public sf::Drawable, private sf::NonCopyable {
public:
    using Ptr = std::unique_ptr<SceneNode>;
    // Two colliding nodes, the lower address first, so each unordered pair is stored once.
    using Pair = std::pair<SceneNode*, SceneNode*>;

    SceneNode();
    ~SceneNode() override;

    void attachChild(Ptr child);
    Ptr detachChild(const SceneNode& node);

    void update(sf::Time dt);
    void onCommand(const Command& command, sf::Time dt);
    sf::Transform getWorldTransform() const;
    // Frees every child that asks to be removed, with its whole subtree, then recurses.
    void removeWrecks();
    // Frees every descendant, leaves first; the node itself stays.
    void clearChildren();

    const std::vector<Ptr>& getChildren() const { return children; }
    SceneNode* getParent() const { return parent; }
    bool isCollidable() const { return collidable; }

    virtual std::uint32_t getCategory() const;
    virtual void setCategory(std::uint32_t value);
    virtual int getKind() const;
    virtual void setKind(int value);
    virtual sf::Vector2f getSize() const;
    virtual void setSize(sf::Vector2f value);
    // Rectangles in world pixels: [0] the body, then probes for actors. Always at least one.
    virtual void getBoundingRect(std::vector<sf::FloatRect>& out) const;
    virtual void checkNodeCollision(SceneNode& node, std::set<Pair>& pairs);
    virtual void checkSceneCollision(SceneNode& graph, std::set<Pair>& pairs);
    virtual void collectCollidables(std::vector<SceneNode*>& out);
    virtual bool isMarkedForRemoval() const;
    virtual bool isDestroyed() const;

protected:
    void setCollidable(bool value) { collidable = value; }

    // The part of the target's current view that shows on the target, in the view's coordinates:
    // nothing outside it can be seen, so it need not be drawn.
    static sf::FloatRect visibleArea(const sf::RenderTarget& target);
    // Whether a rectangle in a node's own coordinates, drawn with these states, can be seen.
    static bool isInView(const sf::RenderTarget& target, const sf::RenderStates& states,
                         const sf::FloatRect& local);

private:
    virtual void updateCurrent(sf::Time dt);
    virtual void drawCurrent(sf::RenderTarget& target, sf::RenderStates states) const;
    void draw(sf::RenderTarget& target, sf::RenderStates states) const final;

    std::vector<Ptr> children;
    SceneNode* parent = nullptr;
    std::uint32_t category = Category::None;
    int kind = 0;
    sf::Vector2f size;
    bool collidable = false;
};

// Whether the bodies (first rectangles) of two nodes overlap with a positive area.
bool collision(const SceneNode& lhs, const SceneNode& rhs);
