#include "autoplay/WorldSight.hpp"

#include "actors/Animal.hpp"
#include "actors/Opponent.hpp"
#include "actors/Player.hpp"
#include "actors/PowerUp.hpp"
#include "actors/Tank.hpp"
#include "world/Block.hpp"
#include "world/Platform.hpp"
#include "world/World.hpp"

PlayerView WorldSight::look(const World& world) {
    PlayerView view;
    const Platform* map = world.getPlatform();
    if (!world.hasLevel() || !map || !world.getPlayer() || !world.getOpponent())
        return view;
    // A new level: what was seen of the last one means nothing here, and its map may be gone.
    if (map != platform || world.getLevelTime() <= lastTime) {
        platform = map;
        pictures.reset();
        lastIds.clear();
    }
    lastTime = world.getLevelTime();
    ids.clear();

    view.level = world.getLevel();
    view.levelTime = world.getLevelTime();
    const Player& player = *world.getPlayer();
    view.lives = player.getLives();
    view.counters = player.getColours();
    if (const Tank* tank = player.getTank(); tank && !tank->isDestroyed())
        view.tank = {true, tank->getPosition(), tank->getVelocity(), tank->getAcceleration(),
                     tank->isGrounded()};
    view.window = world.getCamera().getVisibleArea();

    std::vector<sf::FloatRect> rects;
    for (const auto& child : world.getOpponent()->getChildren()) {
        const auto* wolf = dynamic_cast<const Animal*>(child.get());
        if (!wolf || wolf->isDestroyed())
            continue;
        const sf::FloatRect picture(wolf->getPosition(), wolf->getSize());
        wolf->getBoundingRect(rects);
        if (!picture.intersects(view.window) || rects.size() < 5)
            continue;
        PlayerView::Wolf seen;
        seen.id = idOf(wolf);
        seen.position = wolf->getPosition();
        seen.size = wolf->getSize();
        std::copy(rects.begin(), rects.begin() + 5, seen.shape.begin());
        seen.velocity = wolf->getVelocity();
        seen.grounded = wolf->isGrounded();
        seen.stunned = wolf->getMode() == Modes::Stunned;
        view.wolves.push_back(seen);
    }
    for (const auto& child : world.getObjectsLayer().getChildren()) {
        const auto* powerUp = dynamic_cast<const PowerUp*>(child.get());
        if (!powerUp || powerUp->isPickedUp())
            continue;
        const sf::FloatRect body(powerUp->getPosition(), powerUp->getSize());
        if (body.intersects(view.window))
            view.powerUps.push_back(
                {idOf(powerUp), powerUp->getKindOfPowerUp(), body, powerUp->getVelocity()});
    }
    lastIds.swap(ids);
    lookAtMap(*map, view);
    return view;
}

// The pictures change seldom (a spawner paid, a power block spent), so looks share them until
// they do.
void WorldSight::lookAtMap(const Platform& map, PlayerView& view) {
    const std::size_t cells = static_cast<std::size_t>(map.getGridSize().x * map.getGridSize().y);
    bool same = pictures && pictures->size() == cells;
    std::vector<MapSight::Hop> hops;
    for (const int cell : map.getSolidCells()) {
        const Block& block = *map.getBlock(cell);
        same = same && (*pictures)[static_cast<std::size_t>(cell)] == block.getTileNumber();
        if (block.isBumping())
            hops.emplace_back(cell, map.getBumpStep(&block));
    }
    if (!same) {
        auto fresh = std::make_shared<std::vector<int>>(cells, 0);
        for (const int cell : map.getSolidCells())
            (*fresh)[static_cast<std::size_t>(cell)] = map.getBlock(cell)->getTileNumber();
        pictures = std::move(fresh);
    }
    view.map = MapSight(map, pictures, std::move(hops));
}

int WorldSight::idOf(const void* actor) {
    const auto known = lastIds.find(actor);
    const int id = known != lastIds.end() ? known->second : nextId++;
    ids[actor] = id;
    return id;
}
