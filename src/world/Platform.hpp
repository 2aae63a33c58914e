#pragma once

#include "world/SceneNode.hpp"

#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/VertexArray.hpp>

#include <bitset>
#include <map>
#include <memory>
#include <random>
#include <vector>

class Block;
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
    // Hides the key (a kind-3 item) in a random marked cell whose block has no item yet.
    void generateKey();
    // Tile collision: calls land, hitFromBelow or hitSide of each touched block for the actor.
    // Adds nothing to pairs.
    void checkNodeCollision(SceneNode& node, std::set<Pair>& pairs) override;
    std::uint32_t getCategory() const override;

    sf::Vector2f getTileSize() const { return tileSize; }
    // Size in cells.
    sf::Vector2f getGridSize() const { return mapSize; }
    // The block of a cell, or null for an empty cell or an index outside the map.
    Block* getBlock(int cell) const;
    const std::vector<int>& getSolidCells() const { return solidCells; }
    const std::vector<int>& getMarkedCells() const { return markedCells; }
    const sf::VertexArray& getVertices() const { return vertices; }
    // Update counter of a hopping block, or -1 when it is at rest.
    int getBumpStep(const Block* block) const;

private:
    void updateCurrent(sf::Time dt) override;
    void drawCurrent(sf::RenderTarget& target, sf::RenderStates states) const override;

    void clearLevel();
    void resolveCell(Block& block, Entity& actor, std::bitset<8> contacts);

    // Cell lookup; null for empty cells. Blocks are owned by `blocks` in the same order as
    // solidCells, and are freed only with the platform, so these pointers never dangle.
    std::vector<Block*> tiles;
    std::vector<std::unique_ptr<Block>> blocks;
    // Hopping blocks and their update counter (0, 2, 4, ...), in address order.
    std::map<Block*, int> bumping;
    sf::Texture tileset;
    // Never resized after loading: every block points at its own four vertices in it.
    sf::VertexArray vertices;
    sf::Vector2f tileSize;
    sf::Vector2f mapSize;
    std::vector<int> solidCells;
    std::vector<int> markedCells;
    // Fixed seed, so the key lands in the same cells every time a level is played.
    std::mt19937 keyEngine;
};

// The newest platform, through which blocks start their hops; null once it is destroyed.
extern Platform* currentPlatform;
