#include "autoplay/Memory.hpp"

#include "world/TilePictures.hpp"

#include <algorithm>
#include <cmath>

namespace {

// How long a wolf that walked out of the window is kept in mind, in steps.
const int RememberSteps = 90;
// A wolf seen down but never seen falling is taken to be up again this soon.
const int UnknownStunSteps = 120;
// How far inside the window a wolf must have been to count as gone when it is no longer there.
const float Inside = 8.f;
// How long a spawner is watched without a wolf coming before it counts as owing none.
const int QuietSteps = Memory::SpawnSteps + 15;
// A wolf as it comes out of a spawner: its picture, and the body inside it.
const sf::Vector2f WolfPicture(50.f, 70.f);
const float BodyInset = 2.f;
const float BodyWidth = 43.f;
// How far a new wolf gets before it can be seen: its walk in a reaction time and more.
const float WalkOut = 30.f;
// How far from its spawner a wolf that has just come out may be.
const float NearDoor = 100.f;
using TilePictures::isSpawner;

bool wellInside(const sf::FloatRect& body, const sf::FloatRect& window) {
    return body.top >= window.top + Inside &&
           body.top + body.height <= window.top + window.height - Inside;
}

} // namespace

void Memory::clear() {
    *this = Memory();
}

const Memory::Wolf* Memory::wolf(int id) const {
    const auto found = std::find_if(wolfList.begin(), wolfList.end(),
                                    [id](const Wolf& wolf) { return wolf.seen.id == id; });
    return found == wolfList.end() ? nullptr : &*found;
}

void Memory::see(const PlayerView& view, int at) {
    std::vector<Wolf> wolves;
    for (const PlayerView::Wolf& seen : view.wolves) {
        Wolf now{seen, at, -1, false};
        if (const Wolf* before = wolf(seen.id)) {
            now.knockSeen = before->knockSeen || (!before->seen.stunned && seen.stunned);
            now.knockedAt = before->knockedAt;
            if (!before->seen.stunned && seen.stunned)
                now.knockedAt = at;
        }
        if (seen.stunned && now.knockedAt < 0)
            now.knockedAt = at;
        if (!seen.stunned) {
            now.knockedAt = -1;
            now.knockSeen = false;
        }
        wolves.push_back(now);
    }
    for (const Wolf& before : wolfList) {
        const bool inView =
            std::any_of(view.wolves.begin(), view.wolves.end(),
                        [&](const auto& seen) { return seen.id == before.seen.id; });
        if (inView || at - before.seenAt > RememberSteps)
            continue;
        // Gone in the middle of the window: scrapped, vanished or sent off by a portal.
        if (before.seenAt == at - 1 && wellInside(before.seen.shape[0], view.window))
            continue;
        wolves.push_back(before);
    }
    watchSpawners(view, wolfList, at);
    wolfList = std::move(wolves);

    // What lies in the window is seen; what lay there before and is not seen now is gone.
    powerUpList.erase(
        std::remove_if(powerUpList.begin(), powerUpList.end(),
                       [&](const PowerUp& p) { return p.body.intersects(view.window); }),
        powerUpList.end());
    for (const PlayerView::PowerUp& seen : view.powerUps)
        powerUpList.push_back({seen.kind, seen.body, seen.velocity == sf::Vector2f()});
}

int Memory::wakesIn(const Wolf& wolf, int now) const {
    if (!wolf.seen.stunned)
        return 0;
    if (!wolf.knockSeen)
        return std::max(0, wolf.knockedAt + UnknownStunSteps - now);
    return std::max(0, wolf.knockedAt + StunSteps - now);
}

std::vector<sf::FloatRect> Memory::spawnAreas(const MapSight& map) {
    std::vector<sf::FloatRect> areas;
    const sf::Vector2f tile = map.getTileSize();
    for (int cell = 0; cell < map.columns() * map.rows(); ++cell) {
        if (!isSpawner(map.tileAt(cell)))
            continue;
        const float left = static_cast<float>(cell % map.columns()) * tile.x;
        const float bottom = static_cast<float>(cell / map.columns() + 1) * tile.y;
        const float top = bottom - WolfPicture.y;
        areas.emplace_back(left - WolfPicture.x + BodyInset - WalkOut, top, BodyWidth + WalkOut,
                           WolfPicture.y);
        areas.emplace_back(left + tile.x + BodyInset, top, BodyWidth + WalkOut, WolfPicture.y);
    }
    return areas;
}

// A wolf that appears exactly where a spawner lets one out has just come out of it; a stunned
// wolf that disappears under the tank was scrapped.
void Memory::watchSpawners(const PlayerView& view, const std::vector<Wolf>& before, int at) {
    const auto seenBefore = [&](int id) {
        return std::any_of(before.begin(), before.end(),
                           [id](const Wolf& wolf) { return wolf.seen.id == id; });
    };
    const sf::Vector2f tile = view.map.getTileSize();
    bool spawnerInView = false;
    for (int cell = 0; cell < view.map.columns() * view.map.rows(); ++cell) {
        if (!isSpawner(view.map.tileAt(cell)))
            continue;
        const float left = static_cast<float>(cell % view.map.columns()) * tile.x;
        const float bottom = static_cast<float>(cell / view.map.columns() + 1) * tile.y;
        spawnerInView =
            spawnerInView || view.window.intersects({left, bottom - tile.y, tile.x, tile.y});
        for (const PlayerView::Wolf& wolf : view.wolves) {
            // A wolf cannot turn up in the middle of the window unless it came out of a spawner;
            // one that just came out may already have been pushed aside by another.
            const sf::FloatRect& body = wolf.shape[0];
            if (!seenBefore(wolf.id) && wellInside(body, view.window) &&
                std::abs(wolf.position.y + wolf.size.y - bottom) < 3.f &&
                body.left < left + tile.x + NearDoor && body.left + body.width > left - NearDoor) {
                lastSpawn = at;
                quiet = false;
            }
        }
    }
    if (view.tank.intact) {
        const sf::FloatRect tank(view.tank.position.x - 4.f, view.tank.position.y - 4.f, 63.f,
                                 84.f);
        for (const Wolf& wolf : before) {
            const bool gone =
                std::none_of(view.wolves.begin(), view.wolves.end(),
                             [&](const auto& seen) { return seen.id == wolf.seen.id; });
            if (gone && wolf.seenAt == at - 1 && wolf.seen.stunned &&
                wolf.seen.shape[0].intersects(tank)) {
                lastScrap = at;
                quiet = false;
            }
        }
    }
    if (!spawnerInView)
        watchedSince = -1;
    else if (watchedSince < 0)
        watchedSince = at;
    if (watchedSince >= 0 &&
        at - std::max(watchedSince, std::max(lastSpawn, lastScrap)) >= QuietSteps)
        quiet = true;
}

int Memory::spawnPossibleFrom() const {
    if (quiet)
        return -1;
    // After a scrap the new wolf may come at once.
    if (lastScrap > lastSpawn)
        return lastScrap;
    return lastSpawn + SpawnSteps;
}
