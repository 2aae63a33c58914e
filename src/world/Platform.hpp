#pragma once

#include "world/Block.hpp"
#include "world/SceneNode.hpp"

#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/VertexArray.hpp>

#include <bitset>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <vector>

class Entity;

// The level map: a grid of blocks read from "Levels/Level<n>.lua", drawn as one quad array from
// "Images/Objects.png". It resolves every collidable actor against the cells it covers, animates
// bumped blocks and hides the key when a spawner asks for it.
// The level script format is described in LevelScript.hpp.
class Platform : public SceneNode {
public:
    Platform();
    ~Platform() override;

    // Builds the grid of the level, scaled to windowSize. On any problem with the file (blocks that
    // would take more than 64 MB included) it names the file and the problem on std::cerr, leaves
    // the map empty and returns false.
    bool loadLevel(int level);
    // (columns x tile width, rows x tile height) in pixels.
    sf::Vector2f getMapSize() const;
    // Starts the ten-update hop of a block; a block already hopping is left alone.
    void bump(Block* block);
    // Whether any block is hopping from a bump.
    bool hasHoppingBlock() const { return !bumping.empty(); }
    // Hides the key (a kind-3 item) in a random marked cell whose block has no item yet.
    void generateKey();
    // Tile collision: calls land, hitFromBelow or hitSide of each touched block for the actor.
    // Adds nothing to pairs.
    void checkNodeCollision(SceneNode& node, std::set<Pair>& pairs) override;
    // How an actor meets one block in a collision pass.
    using Meeting = std::function<void(int cell, Block::Touch touch, std::bitset<8> contacts)>;
    // The tile collision as the blocks move the actor (carry, stop, push out) and nothing else: no
    // hop, no item, no payment. `met` hears of each block just after it moved the actor. Whoever
    // wants to know where an actor would go (the automatic player rehearsing a move) asks this.
    void moveLikeBlocks(Entity& actor, const Meeting& met = {}) const;

    // A block an actor's probes touch, with bit j set for each probe rects[j] (j >= 1) on it.
    struct TouchedCell {
        int cell;
        std::bitset<8> contacts;
    };
    // The blocks that an actor with these rectangles (0 body, then probes) touches, in cell order.
    // The body picks the cells; the side columns reach one cell beyond the map, so an actor that
    // wraps around the edge is still held by the edge blocks.
    void findTouchedCells(const std::vector<sf::FloatRect>& rects,
                          std::vector<TouchedCell>& out) const;
    // The bottom probe carries the actor, the top probe strikes the block, one side probe alone
    // pushes it out; both side probes alone land a falling actor and strike for a rising one.
    static Block::Touch classify(std::bitset<8> contacts, float verticalSpeed);
    std::uint32_t getCategory() const override;

    sf::Vector2f getTileSize() const { return tileSize; }
    // Size in cells.
    sf::Vector2f getGridSize() const { return mapSize; }
    // The block of a cell, or null for an empty cell or an index outside the map.
    const Block* getBlock(int cell) const;
    Block* getBlock(int cell);
    const std::vector<int>& getSolidCells() const { return solidCells; }
    const std::vector<int>& getMarkedCells() const { return markedCells; }
    const sf::VertexArray& getVertices() const { return vertices; }
    // Update counter of a hopping block, or -1 when it is at rest or there is no block.
    int getBumpStep(const Block* block) const;

private:
    void updateCurrent(sf::Time dt) override;
    void drawCurrent(sf::RenderTarget& target, sf::RenderStates states) const override;

    void clearLevel();
    // The one collision pass: for each block the actor's probes touch, in cell order, how it meets
    // it, judged with the actor's vertical speed as the blocks before it have left it.
    void meetBlocks(Entity& actor, const Meeting& meet) const;

    // Cell lookup; null for empty cells. Blocks are owned by `blocks` in the same order as
    // solidCells, and are freed only with the platform, so these pointers never dangle.
    std::vector<Block*> tiles;
    std::vector<std::unique_ptr<Block>> blocks;
    // Hopping blocks and their update counter (0, 2, 4, ...), in cell order: the same in every
    // run, as addresses are not.
    struct InCellOrder {
        bool operator()(const Block* a, const Block* b) const {
            return a->getRow() != b->getRow() ? a->getRow() < b->getRow()
                                              : a->getColumn() < b->getColumn();
        }
    };
    std::map<Block*, int, InCellOrder> bumping;
    sf::Texture tileset;
    // Never resized after loading: every block points at its own four vertices in it.
    sf::VertexArray vertices;
    sf::Vector2f tileSize;
    sf::Vector2f mapSize;
    std::vector<int> solidCells;
    std::vector<int> markedCells;
    // Reused by every tile collision, the rehearsed ones too.
    mutable std::vector<sf::FloatRect> rectBuffer;
    mutable std::vector<TouchedCell> touchBuffer;
    // Fixed seed, so the key lands in the same cells every time a level is played.
    std::mt19937 keyEngine;
};

// The newest platform, through which blocks start their hops; null once it is destroyed.
extern Platform* currentPlatform;
