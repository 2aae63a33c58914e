#pragma once

#include "world/Platform.hpp"

#include <SFML/System/Vector2.hpp>

#include <memory>
#include <utility>
#include <vector>

class Entity;

// The level's blocks as a player sees them: the picture of every cell (its tile number; 0 for an
// empty cell, -1 for a spawner that is gone) and which blocks hop. A move can be tried against
// them: they carry, stop and push out an actor here just as in play. What a block holds is not
// part of it, and neither are the level's key markers.
class MapSight {
public:
    // A hopping block's cell, and how far into its hop it is (the map's update counter).
    using Hop = std::pair<int, int>;

    MapSight() = default;
    // The platform is only moved against; it must outlive the sight.
    MapSight(const Platform& platform, std::shared_ptr<const std::vector<int>> pictures,
             std::vector<Hop> hops);

    int columns() const { return grid.x; }
    int rows() const { return grid.y; }
    sf::Vector2f getTileSize() const { return tile; }
    // The level's size in pixels.
    sf::Vector2f getSize() const { return {tile.x * grid.x, tile.y * grid.y}; }
    // The tile number drawn in the cell; 0 for an empty cell or one outside the map.
    int tileAt(int cell) const;
    bool hasBlock(int cell) const { return tileAt(cell) != 0; }
    // How far into its hop the cell's block is, or -1 when it is at rest.
    int hopStep(int cell) const;
    bool anyHopping() const { return !hopping.empty(); }
    // The map's tile collision of the actor, as the blocks move it (see Platform::moveLikeBlocks).
    void moveLikeBlocks(Entity& actor, const Platform::Meeting& met = {}) const;

    // The same pictures and the same hops.
    bool operator==(const MapSight& other) const;
    bool operator!=(const MapSight& other) const { return !(*this == other); }

private:
    const Platform* platform = nullptr;
    std::shared_ptr<const std::vector<int>> pictures;
    std::vector<Hop> hopping; // in cell order
    sf::Vector2i grid;
    sf::Vector2f tile;
};
