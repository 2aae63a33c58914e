#pragma once

#include "autoplay/PlayerView.hpp"

#include <map>
#include <memory>
#include <vector>

class Platform;
class World;

// Looks at the world as a player looks at the window, once after every step, and writes down
// what the automatic player may read (PlayerView). It keeps only what joins one look to the next:
// which actor in the window had which number a step ago, so an actor keeps its number while it
// stays in the window, and one that leaves it, or a new actor at the address of one that is
// gone, gets a new number.
class WorldSight {
public:
    PlayerView look(const World& world);

private:
    void lookAtMap(const Platform& platform, PlayerView& view);
    int idOf(const void* actor);

    std::map<const void*, int> lastIds; // the actors in the window at the last look
    std::map<const void*, int> ids;     // being filled by this look
    int nextId = 1;
    const Platform* platform = nullptr;
    sf::Time lastTime;
    std::shared_ptr<const std::vector<int>> pictures;
};
