#include "autoplay/MapSight.hpp"

#include <algorithm>

MapSight::MapSight(const Platform& platform, std::shared_ptr<const std::vector<int>> pictures,
                   std::vector<Hop> hops)
    : platform(&platform), pictures(std::move(pictures)), hopping(std::move(hops)),
      grid(static_cast<int>(platform.getGridSize().x), static_cast<int>(platform.getGridSize().y)),
      tile(platform.getTileSize()) {}

int MapSight::tileAt(int cell) const {
    if (!pictures || cell < 0 || static_cast<std::size_t>(cell) >= pictures->size())
        return 0;
    return (*pictures)[static_cast<std::size_t>(cell)];
}

int MapSight::hopStep(int cell) const {
    const auto found = std::lower_bound(hopping.begin(), hopping.end(), Hop(cell, -1));
    return found != hopping.end() && found->first == cell ? found->second : -1;
}

void MapSight::moveLikeBlocks(Entity& actor, const Platform::Meeting& met) const {
    if (platform)
        platform->moveLikeBlocks(actor, met);
}

bool MapSight::operator==(const MapSight& other) const {
    const bool samePictures =
        pictures == other.pictures || (pictures && other.pictures && *pictures == *other.pictures);
    return samePictures && hopping == other.hopping && grid == other.grid && tile == other.tile;
}
