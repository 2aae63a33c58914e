#include "autoplay/RouteMap.hpp"

#include "autoplay/MapSight.hpp"
#include "world/WorldGlobals.hpp"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <queue>

namespace {

// Rough costs in seconds, to weigh walking against moves: the tank walks at about this speed,
// and every move starts and ends standing still.
const float WalkSpeed = 420.f;
const float MoveOverhead = 0.3f;
const float TankWidth = 55.f;
// How long a move that went wrong is left out, in steps: long enough not to try it again at once,
// short enough that a move that failed only by chance (a wolf, a hop) comes back.
const int FailureSteps = 600;

// The moves tried from every spot: driving off with no jump, and jumps that steer one way early
// or late, briefly or long.
std::vector<Maneuver> candidateMoves() {
    std::vector<Maneuver> moves;
    for (const int direction : {-1, 1}) {
        for (const int frames : {8, 16, 30})
            moves.push_back({direction, false, 0, frames});
        for (const int from : {0, 10, 20})
            for (const int frames : {6, 14, 28, 44})
                moves.push_back({direction, true, from, frames});
    }
    return moves;
}

bool sameMove(const Maneuver& a, const Maneuver& b) {
    return a.direction == b.direction && a.jump == b.jump && a.steerFrom == b.steerFrom &&
           a.steerFrames == b.steerFrames;
}

} // namespace

RouteMap::RouteMap(const MapSight& map, TankSimulator& simulator) : map(map), simulator(simulator) {
    floors = map.rows() + 1;
    spacing = map.getTileSize().x / 2.f;
    // A tank's x stays between the wrap points: EdgeMargin - width and width - EdgeMargin.
    const float left = Entity::EdgeMargin - TankWidth;
    const float right = worldSize.x - Entity::EdgeMargin;
    lapLength = right - left;
    spots = spacing > 0.f ? static_cast<int>(lapLength / spacing) : 0;
    firstX = left + (lapLength - static_cast<float>(spots - 1) * spacing) / 2.f;
    const std::size_t count = static_cast<std::size_t>(floors * std::max(spots, 0));
    standable.assign(count, 0);
    stretch.assign(count, -1);
    moveCache.assign(count, {});
    movesKnown.assign(count, 0);
    strikes.assign(count, {});
    strikeKnown.assign(count, 0);
    findStandable();
    joinWalkableSpots();
}

float RouteMap::xOf(int node) const {
    return firstX + static_cast<float>(node % spots) * spacing;
}

bool RouteMap::isStandable(int node) const {
    return node >= 0 && node < nodeCount() && standable[static_cast<std::size_t>(node)];
}

int RouteMap::nearest(int floor, float x) const {
    if (floor < 0 || floor >= floors || spots == 0)
        return -1;
    const int spot = static_cast<int>(std::lround((x - firstX) / spacing));
    for (const int candidate : {spot, spot - 1, spot + 1}) {
        const int wrapped = (candidate % spots + spots) % spots;
        if (isStandable(node(floor, wrapped)) &&
            std::abs(xOf(node(floor, wrapped)) - x) <= 1.5f * spacing)
            return node(floor, wrapped);
    }
    return -1;
}

// A spot is standable when a tank put there at rest stays exactly where it is.
void RouteMap::findStandable() {
    const int rows = floors - 1;
    for (int floor = 0; floor < floors; ++floor) {
        // Only a block row or the bottom of the world carries a tank.
        bool anyBlock = floor == rows;
        for (int column = 0; floor < rows && column < map.columns(); ++column)
            anyBlock = anyBlock || map.hasBlock(floor * map.columns() + column);
        if (!anyBlock)
            continue;
        for (int spot = 0; spot < spots; ++spot) {
            const int here = node(floor, spot);
            const TankSimulator::State start = simulator.standing(xOf(here), floor);
            simulator.reset(start);
            for (int i = 0; i < 3; ++i)
                simulator.step({});
            const TankSimulator::State end = simulator.state();
            standable[static_cast<std::size_t>(here)] =
                simulator.isResting() && end.position == start.position;
        }
    }
}

void RouteMap::joinWalkableSpots() {
    int next = 0;
    for (int floor = 0; floor < floors; ++floor) {
        for (int spot = 0; spot < spots; ++spot) {
            const int here = node(floor, spot);
            if (!isStandable(here) || stretch[static_cast<std::size_t>(here)] >= 0)
                continue;
            // Both ways from here, round the world's sides too.
            stretch[static_cast<std::size_t>(here)] = next;
            for (const int step : {-1, 1}) {
                for (int k = 1; k < spots; ++k) {
                    const int other = node(floor, ((spot + step * k) % spots + spots) % spots);
                    if (!isStandable(other))
                        break;
                    stretch[static_cast<std::size_t>(other)] = next;
                }
            }
            ++next;
        }
    }
}

std::pair<int, int> RouteMap::rehearse(const TankSimulator::State& start, const Maneuver& move) {
    simulator.reset(start);
    for (int frame = 0; frame < Maneuver::MaxFrames; ++frame) {
        simulator.step(move.controls(frame, simulator.state()));
        // Standing again, and no longer steered or braked.
        if (frame >= move.lastSteeredFrame() && simulator.isResting()) {
            const TankSimulator::State end = simulator.state();
            return {nearest(simulator.floorOf(end.position.y), end.position.x), frame + 1};
        }
    }
    return {-1, Maneuver::MaxFrames};
}

const std::vector<RouteMap::Leg>& RouteMap::moves(int from) {
    const auto index = static_cast<std::size_t>(from);
    if (movesKnown[index])
        return moveCache[index];
    // Rehearsed against a block in mid-hop, a move may end elsewhere than it will a moment later.
    const bool lasting = !map.anyHopping();
    movesKnown[index] = lasting;
    static const std::vector<Maneuver> candidates = candidateMoves();
    std::vector<Leg>& legs = lasting ? moveCache[index] : scratch;
    legs.clear();
    const TankSimulator::State start = simulator.standing(xOf(from), floorOf(from));
    for (const Maneuver& move : candidates) {
        const auto [to, frames] = rehearse(start, move);
        // Moves that end where a walk would have led are of no use.
        if (to < 0 || stretch[static_cast<std::size_t>(to)] == stretch[index])
            continue;
        const auto known = std::find_if(legs.begin(), legs.end(),
                                        [to = to](const Leg& leg) { return leg.to == to; });
        const float seconds = static_cast<float>(frames) / 60.f + MoveOverhead;
        if (known == legs.end())
            legs.push_back({from, to, false, 0, move, seconds});
        else if (seconds < known->seconds)
            *known = {from, to, false, 0, move, seconds};
    }
    return legs;
}

void RouteMap::forget(int from, const Maneuver& move, int now) {
    if (isStandable(from))
        failures.emplace(from, std::make_pair(move, now));
}

bool RouteMap::failedLately(int from, const Maneuver& move, int now) const {
    const auto [first, last] = failures.equal_range(from);
    for (auto failure = first; failure != last; ++failure)
        if (sameMove(failure->second.first, move) && now - failure->second.second < FailureSteps)
            return true;
    return false;
}

const RouteMap::Strike& RouteMap::strike(int from) {
    const auto index = static_cast<std::size_t>(from);
    if (!strikeKnown[index]) {
        strikeKnown[index] = !map.anyHopping();
        Strike& result = strikes[index];
        result = {};
        simulator.reset(simulator.standing(xOf(from), floorOf(from)));
        const Maneuver jump{0, true, 0, 0};
        for (int frame = 0; frame < 90 && result.step < 0; ++frame) {
            simulator.step(jump.controls(frame, simulator.state()));
            if (!simulator.struckCells().empty()) {
                result.cells = simulator.struckCells();
                result.step = frame + 1;
            }
        }
    }
    return strikes[index];
}

std::vector<RouteMap::Leg> RouteMap::route(int from, const Goals& goals, int now) {
    if (!isStandable(from) || goals.empty())
        return {};
    const float infinity = std::numeric_limits<float>::infinity();
    std::vector<float> extra(standable.size(), infinity);
    for (const auto& [goal, seconds] : goals)
        if (isStandable(goal))
            extra[static_cast<std::size_t>(goal)] =
                std::min(extra[static_cast<std::size_t>(goal)], seconds);

    std::vector<float> cost(standable.size(), infinity);
    std::vector<Leg> cameBy(standable.size());
    using Entry = std::pair<float, int>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> open;
    cost[static_cast<std::size_t>(from)] = 0.f;
    open.push({0.f, from});
    float best = infinity;
    int reached = -1;
    const float walkSeconds = spacing / WalkSpeed;

    const auto relax = [&](const Leg& leg, float total) {
        if (total < cost[static_cast<std::size_t>(leg.to)]) {
            cost[static_cast<std::size_t>(leg.to)] = total;
            cameBy[static_cast<std::size_t>(leg.to)] = leg;
            open.push({total, leg.to});
        }
    };
    while (!open.empty()) {
        const auto [seconds, here] = open.top();
        open.pop();
        if (seconds > cost[static_cast<std::size_t>(here)] || seconds >= best)
            continue;
        if (seconds + extra[static_cast<std::size_t>(here)] < best) {
            best = seconds + extra[static_cast<std::size_t>(here)];
            reached = here;
        }
        const int floor = floorOf(here);
        for (const int direction : {-1, 1}) {
            const int spot = ((here % spots + direction) % spots + spots) % spots;
            const int next = node(floor, spot);
            if (isStandable(next))
                relax({here, next, true, direction, {}, walkSeconds}, seconds + walkSeconds);
        }
        for (const Leg& leg : moves(here))
            if (!failedLately(here, leg.move, now))
                relax(leg, seconds + leg.seconds);
    }
    if (reached < 0)
        return {};

    std::vector<Leg> legs;
    for (int at = reached; at != from; at = cameBy[static_cast<std::size_t>(at)].from) {
        const Leg& leg = cameBy[static_cast<std::size_t>(at)];
        // Walks on in the same direction become one walk.
        if (leg.walk && !legs.empty() && legs.back().walk &&
            legs.back().direction == leg.direction) {
            legs.back().from = leg.from;
            legs.back().seconds += leg.seconds;
        } else {
            legs.push_back(leg);
        }
    }
    std::reverse(legs.begin(), legs.end());
    return legs;
}
