#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Vertex.hpp>

#include <bitset>
#include <cstddef>
#include <memory>

class Entity;

// A cell of the level map. Blocks are not scene nodes: the map draws them all as one quad array
// and each block keeps a pointer to its own four vertices (top-left, top-right, bottom-right,
// bottom-left), which are also its geometry. The actor passed in is null when a bump of the block
// below strikes this one.
class Block {
public:
    // How an actor meets a block, decided by the map from the actor's probes that touch it.
    enum class Touch { None, Land, HitFromBelow, HitSide };

    Block(int tileNumber, int row, int column, int quadIndex);
    virtual ~Block();

    // Creates the block class that a tile number stands for; the map owns the result.
    static std::unique_ptr<Block> createBlock(int tileNumber, int row, int column, int quadIndex);
    // The size of the block createBlock makes for the tile number, so a map can tell what its
    // blocks would cost before it builds them (a spawner carries a random generator of ~5 KB).
    static std::size_t sizeOfBlock(int tileNumber);

    virtual void land(Entity* actor);
    virtual void hitFromBelow(Entity* actor);
    // Bit 3: the actor's left probe touched the block; bit 4: its right probe.
    virtual void hitSide(Entity* actor, std::bitset<8> contacts);
    // What meeting the block does to the actor's own position and speed, and nothing else: land,
    // hitFromBelow and hitSide do this, and whoever wants to know where an actor would go (the
    // automatic player rehearsing a jump) can ask it without bumping or paying anything.
    virtual void moveActor(Entity& actor, Touch touch, std::bitset<8> contacts) const;

    // Where the tile's picture lies in Images/Objects.png.
    static sf::IntRect pictureOf(int tileNumber);
    void updateTexture();
    // Hides the key here unless the block already holds an item.
    bool tryAssignKey();

    int getRow() const { return row; }
    int getColumn() const { return column; }
    int getTileNumber() const { return tileNumber; }
    int getItem() const { return item; }
    int getQuadIndex() const { return quadIndex; }
    sf::Vertex* getQuad() const { return quad; }
    void setQuad(sf::Vertex* first) { quad = first; }
    bool isBumping() const { return bumping; }
    void setBumping(bool value) { bumping = value; }

protected:
    void setTileNumber(int value) { tileNumber = value; }
    // Queues a power-up of the kind at the block's top-left corner.
    void releaseItem(int kind);

private:
    int row;
    int column;
    int tileNumber;
    int item = -1;
    int quadIndex;
    sf::Vertex* quad = nullptr;
    bool bumping = false;
};
