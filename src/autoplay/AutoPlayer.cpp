#include "autoplay/AutoPlayer.hpp"

#include "world/Physics.hpp"
#include "world/TilePictures.hpp"

#include <cmath>
#include <limits>

namespace {

// How many steps ahead the wolves are foreseen: long enough to run from one at full tilt.
const int Horizon = 50;
// Close enough to a spot to start a move from it, in pixels.
const float LinedUp = 0.5f;
// Steps to stand before looking again when there is nothing to do, and the longest wait for a
// wolf to come over an ambush.
const int Pause = 20;
const int LongestAmbush = 240;

const Maneuver StraightJump{0, true, 0, 0};
// Pixels along the way an escape may cost for every pixel it drops the tank.
const float FallCost = 10.f;
// How often wolves stop what the tank is doing, with no move gone through in between, before the
// tank goes for the last of them.
const int BlockedTimes = 2;
// How often one wolf stops the tank on its way to one errand, moves between or not, before the
// tank goes for it.
const int ErrandBlockedTimes = 3;
// How far a wolf woken up may get before the tank can be out of its way.
const float WakeReach = 40.f;
// How far above and to the side a wolf is looked at for a strike from below.
const float KnockReach = 250.f;

// What the tank may do when what it is doing would meet a wolf: stand, run a little or far, jump
// straight, jump and steer now or a little later, run and jump.
const std::vector<Maneuver> Escapes = {
    {0, false, 0, 0},      {-1, false, 0, 20},   {1, false, 0, 20}, {-1, false, 0, 45},
    {1, false, 0, 45},     {0, true, 0, 0},      {-1, true, 0, 20}, {1, true, 0, 20},
    {-1, true, 0, 45},     {1, true, 0, 45},     {-1, true, 8, 30}, {1, true, 8, 30},
    {-1, true, 0, 40, 10}, {1, true, 0, 40, 10},
};

Controls holding(int direction) {
    Controls controls;
    controls.left = direction < 0;
    controls.right = direction > 0;
    return controls;
}

// The move played from its frame `from` on.
std::function<Controls(int, const TankSimulator::State&)> playing(const Maneuver& move, int from) {
    return [move, from](int frame, const TankSimulator::State& state) {
        return move.controls(from + frame, state);
    };
}

sf::FloatRect grown(sf::FloatRect rect, float margin) {
    return {rect.left - margin, rect.top - margin, rect.width + 2.f * margin,
            rect.height + 2.f * margin};
}

int stepOf(sf::Time levelTime) {
    return static_cast<int>(std::lround(levelTime / Physics::Step));
}

} // namespace

AutoPlayer::AutoPlayer(int reactionSteps) : reaction(reactionSteps) {}

AutoPlayer::~AutoPlayer() = default;

void AutoPlayer::startLevel(const PlayerView& view) {
    level = view.level;
    map = view.map;
    routes.reset(); // it rehearses on the simulator, which goes first
    simulator = std::make_unique<TankSimulator>(map);
    routes = std::make_unique<RouteMap>(map, *simulator);
    wolves = std::make_unique<WolfForecast>(map);
    quarry = std::make_unique<WolfForecast>(map);
    memory.clear();
    errands.startLevel(map);
    activity = Activity::Idle;
    legs.clear();
    errand = {};
    seenStep = -1;
    retries = 0;
    waited = 0;
    blocker = 0;
    blocked = 0;
    blockedErrand = 0;
    blockedCell = -1;
}

Controls AutoPlayer::decide(const PlayerView& now) {
    const Controls controls = play(reaction.look(now));
    reaction.hold(controls);
    return controls;
}

Controls AutoPlayer::play(const PlayerView& view) {
    if (view.level == 0)
        return {};
    if (!simulator || view.level != level || view.levelTime < levelTime)
        startLevel(view);
    levelTime = view.levelTime;
    map = view.map;
    age = reaction.age();
    const int step = stepOf(view.levelTime);
    now = step + age;
    if (step != seenStep) {
        seenStep = step;
        memory.see(view, step);
        errands.observe(view);
    }
    if (!view.tank.intact) {
        activity = Activity::Idle;
        legs.clear();
        return {};
    }
    // Where the tank is now: where it was seen, driven on by the controls held since.
    simulator->reset(TankSimulator::stateOf(view.tank));
    for (const Controls& held : reaction.controlsSince())
        simulator->step(held);
    tank = simulator->state();

    wolves->clear(Horizon);
    for (const Memory::Wolf& wolf : memory.wolves())
        wolves->add(wolf.seen, now - wolf.seenAt, memory.wakesIn(wolf, now));
    wolves->run();
    // Paying a red spawner wakes wolves lying stunned.
    redSpawners.clear();
    if (view.counters[0] > 0)
        for (int cell = 0; cell < map.columns() * map.rows(); ++cell)
            if (map.tileAt(cell) == TilePictures::RedSpawner)
                redSpawners.emplace_back(
                    static_cast<float>(cell % map.columns()) * map.getTileSize().x,
                    static_cast<float>(cell / map.columns()) * map.getTileSize().y,
                    map.getTileSize().x, map.getTileSize().y);
    if (const int spawn = memory.spawnPossibleFrom(); spawn >= 0)
        for (const sf::FloatRect& door : Memory::spawnAreas(map))
            wolves->addDanger(door, spawn - now);
    return guard(act(view));
}

const PlayerView::Wolf* AutoPlayer::inSight(const PlayerView& view, int wolf) const {
    for (const PlayerView::Wolf& seen : view.wolves)
        if (seen.id == wolf)
            return &seen;
    return nullptr;
}

Controls AutoPlayer::act(const PlayerView& view) {
    simulator->reset(tank);
    const bool resting = simulator->isResting();
    // A wolf about to walk over the tank's head is struck from below whatever the tank is about:
    // stunned, it is harmless for a while; marked, it leaves a yellow unit.
    if (activity != Activity::Move && activity != Activity::Evade && tank.velocity.y == 0.f &&
        simulator->floorOf(tank.position.y) >= 0)
        for (const PlayerView::Wolf& wolf : view.wolves) {
            if (wolf.stunned)
                continue;
            const float above = tank.position.y - (wolf.position.y + wolf.size.y);
            if (above <= 0.f || above > KnockReach ||
                std::abs(wolf.position.x - tank.position.x) > KnockReach)
                continue;
            if (wolfWouldBeKnocked(wolf)) {
                activity = Activity::Move;
                move = StraightJump;
                moveFrame = 0;
                return move.controls(moveFrame++, tank);
            }
        }
    switch (activity) {
    case Activity::Move:
    case Activity::Evade:
        if (moveFrame > move.lastSteeredFrame() && resting) {
            // A move that went through undisturbed: the way was clear.
            if (activity == Activity::Move)
                blocked = 0;
            activity = Activity::Idle;
        } else if (moveFrame >= Maneuver::MaxFrames)
            activity = Activity::Idle;
        else
            return move.controls(moveFrame++, tank);
        break;
    case Activity::Walk: {
        const Controls controls = walk(walkTarget, walkDirection);
        if (activity == Activity::Walk)
            return controls;
        break;
    }
    case Activity::Wait:
        // At an ambush the strike itself comes from the watch for wolves overhead, above.
        if (errand.kind == Errand::Kind::Ambush) {
            const PlayerView::Wolf* wolf = inSight(view, errand.wolf);
            if (wolf && !wolf->stunned && waited++ < LongestAmbush)
                return Maneuver::brake(tank);
        } else if (waited++ < Pause) {
            return Maneuver::brake(tank);
        }
        activity = Activity::Idle;
        break;
    case Activity::Idle:
        break;
    }
    if (!resting)
        return Maneuver::brake(tank);
    return planFromRest(view);
}

Controls AutoPlayer::planFromRest(const PlayerView& view) {
    const int floor = simulator->floorOf(tank.position.y);
    int here = routes->nearest(floor, tank.position.x);
    if (here < 0) {
        // Off the spots (at the very end of a ledge): step to the nearest one on this floor.
        float closest = routes->lap();
        for (int spot = 0; spot < routes->spotsPerFloor(); ++spot) {
            const int node = routes->node(floor, spot);
            const float away = std::abs(routes->xOf(node) - tank.position.x);
            if (routes->isStandable(node) && away < closest) {
                closest = away;
                here = node;
            }
        }
        if (here < 0) {
            activity = Activity::Wait;
            errand = {};
            waited = 0;
            return {};
        }
    }
    std::vector<Errand> found;
    // A wolf that stops the same errand again and again (pacing a floor the route crosses, it
    // meets the tank each time the tank comes round) is dealt with too.
    const bool stuck = blocked >= BlockedTimes || blockedErrand >= ErrandBlockedTimes;
    const PlayerView::Wolf* obstacle = stuck ? inSight(view, blocker) : nullptr;
    if (obstacle && obstacle->stunned)
        obstacle = nullptr;
    if (!obstacle) {
        blocked = 0;
        if (stuck)
            blockedErrand = 0;
    }
    const RouteMap::Goals goals =
        errands.gather(view, memory, *routes, *quarry, obstacle, floor, now, found);
    legs = routes->route(here, goals, now);
    const int goal = legs.empty() ? here : legs.back().to;
    errand = {};
    float cheapest = 0.f;
    for (std::size_t i = 0; i < goals.size(); ++i)
        if (goals[i].first == goal &&
            (errand.kind == Errand::Kind::None || goals[i].second < cheapest)) {
            errand = found[i];
            cheapest = goals[i].second;
        }
    if (errand.kind == Errand::Kind::None) {
        // Nothing to be done from here now: stand a while and look again.
        activity = Activity::Wait;
        waited = 0;
        return {};
    }
    if (!legs.empty()) {
        const RouteMap::Leg& leg = legs.front();
        if (leg.walk) {
            activity = Activity::Walk;
            walkTarget = routes->xOf(leg.to);
            walkDirection = leg.direction;
            return walk(walkTarget, walkDirection);
        }
        return startMove(leg.from, leg.to, leg.move);
    }
    if (errand.kind == Errand::Kind::Bump)
        return startMove(here, here, StraightJump);
    if (std::abs(routes->xOf(here) - tank.position.x) > LinedUp) {
        activity = Activity::Walk;
        walkTarget = routes->xOf(here);
        walkDirection = walkTarget > tank.position.x ? 1 : -1;
        return walk(walkTarget, walkDirection);
    }
    activity = Activity::Wait;
    waited = 0;
    return {};
}

Controls AutoPlayer::startMove(int from, int to, const Maneuver& next) {
    const float start = routes->xOf(from);
    if (std::abs(start - tank.position.x) > LinedUp) {
        activity = Activity::Walk;
        walkTarget = start;
        walkDirection = start > tank.position.x ? 1 : -1;
        return walk(walkTarget, walkDirection);
    }
    // A straight jump strikes what it strikes; any other move must end where it was planned to.
    if (!(next.direction == 0 && next.jump) && routes->rehearse(tank, next).first != to) {
        // Standing on a block, the tank can jump only every other step: try once more.
        if (retries++ == 0) {
            activity = Activity::Wait;
            errand = {};
            waited = Pause;
            return {};
        }
        routes->forget(from, next, now);
        retries = 0;
        activity = Activity::Idle;
        return {};
    }
    retries = 0;
    activity = Activity::Move;
    move = next;
    moveFrame = 0;
    return move.controls(moveFrame++, tank);
}

float AutoPlayer::distanceAlong(float from, float to, int direction) const {
    const float lap = routes->lap();
    float ahead = std::fmod((to - from) * static_cast<float>(direction), lap);
    if (ahead < 0.f)
        ahead += lap;
    // Just past the target: a small way back rather than nearly a whole lap on.
    return ahead > 0.75f * lap ? ahead - lap : ahead;
}

// Holds on when holding on now and braking after stops nearer the target than braking now does,
// and brakes otherwise; at rest close enough, the walk is over.
Controls AutoPlayer::walk(float target, int direction) {
    float remaining = distanceAlong(tank.position.x, target, direction);
    simulator->reset(tank);
    if (simulator->isResting() && std::abs(remaining) <= LinedUp) {
        activity = Activity::Idle;
        return {};
    }
    if (remaining < 0.f) {
        direction = -direction;
        remaining = -remaining;
    }
    const float on = travelUntilRest(holding(direction), direction);
    const float stop = travelUntilRest(Maneuver::brake(tank), direction);
    if (std::abs(on - remaining) < std::abs(stop - remaining))
        return holding(direction);
    return Maneuver::brake(tank);
}

float AutoPlayer::travelUntilRest(const Controls& first, int direction) {
    const float lap = routes->lap();
    simulator->reset(tank);
    simulator->step(first);
    float travelled = 0.f;
    float x = tank.position.x;
    for (int i = 0; i < 120; ++i) {
        float moved = simulator->state().position.x - x;
        if (moved > lap / 2.f)
            moved -= lap;
        else if (moved < -lap / 2.f)
            moved += lap;
        travelled += moved * static_cast<float>(direction);
        x = simulator->state().position.x;
        if (simulator->isResting())
            break;
        simulator->step(Maneuver::brake(simulator->state()));
    }
    return travelled;
}

bool AutoPlayer::wolfWouldBeKnocked(const PlayerView::Wolf& wolf) {
    simulator->reset(tank);
    std::vector<int> cells;
    int hit = -1;
    for (int frame = 0; frame < 40 && hit < 0; ++frame) {
        simulator->step(StraightJump.controls(frame, simulator->state()));
        if (!simulator->struckCells().empty()) {
            cells = simulator->struckCells();
            hit = frame + 1;
        }
    }
    if (hit < 0)
        return false;
    // The struck blocks hop for ten steps; a wolf standing on one lands on it at least every
    // third step, and is knocked.
    const sf::Vector2f tile = map.getTileSize();
    const int columns = map.columns();
    int over = 0;
    for (int step = hit; step < hit + 10; ++step) {
        const WolfForecast::Sighting* found = wolves->find(step, wolf.id);
        if (!found)
            continue;
        const WolfForecast::Sighting& seen = *found;
        for (const int cell : cells) {
            const float left = static_cast<float>(cell % columns) * tile.x;
            const float top = static_cast<float>(cell / columns) * tile.y;
            const float feet = seen.body.top + seen.body.height;
            if (std::abs(feet - top) < 2.f && seen.feet.left < left + tile.x &&
                seen.feet.left + seen.feet.width > left) {
                ++over;
                break;
            }
        }
    }
    return over >= 4;
}

AutoPlayer::Policy AutoPlayer::currentPolicy() const {
    switch (activity) {
    case Activity::Move:
    case Activity::Evade:
        return playing(move, moveFrame - 1);
    case Activity::Walk: {
        const float target = walkTarget;
        const int direction = walkDirection;
        const AutoPlayer* self = this;
        // On until braking would only just stop it at the target.
        return [self, target, direction](int, const TankSimulator::State& state) {
            const float remaining = self->distanceAlong(state.position.x, target, direction);
            const float perStep = std::abs(state.velocity.x) * Physics::Step.asSeconds();
            if (remaining > Maneuver::stoppingDistance(state) + perStep)
                return holding(direction);
            return Maneuver::brake(state);
        };
    }
    default:
        return [](int, const TankSimulator::State& state) { return Maneuver::brake(state); };
    }
}

AutoPlayer::Contact AutoPlayer::contactOf(const Policy& policy, sf::Vector2f* end, int* met) {
    simulator->reset(tank);
    Contact contact;
    bool paid = false;
    for (int step = 1; step <= Horizon; ++step) {
        simulator->step(policy(step - 1, simulator->state()));
        const sf::FloatRect body = simulator->body();
        for (const sf::FloatRect& spawner : redSpawners)
            paid = paid || spawner.intersects(body);
        for (const WolfForecast::Sighting& seen : wolves->at(step)) {
            // The longer ago it was seen, the less sure where it will be; a wolf woken by the
            // payment gets up and walks off at once.
            const bool woken = paid && !seen.harmful;
            const float margin =
                0.5f + 0.02f * static_cast<float>(step + seen.seenAgo) + (woken ? WakeReach : 0.f);
            if ((seen.harmful || woken) && grown(seen.body, margin).intersects(body)) {
                if (contact.steps++ == 0) {
                    contact.first = step;
                    if (met)
                        *met = seen.wolf;
                }
                break;
            }
        }
    }
    if (end)
        *end = simulator->state().position;
    return contact;
}

// Of the escapes that meet no wolf, the one that ends nearest to where the tank was going, and
// above all not lower down (falling back costs a climb); when every one meets a wolf, the one that
// meets it latest, and of those the one that is out of its way soonest (where a wolf may come out
// of a spawner, for one).
Controls AutoPlayer::guard(Controls planned) {
    int met = 0;
    if (contactOf(currentPolicy(), nullptr, &met).steps == 0)
        return planned;
    ++blocked;
    blockedErrand = met == blocker && errand.cell == blockedCell ? blockedErrand + 1 : 1;
    blocker = met;
    blockedCell = errand.cell;
    const float aim = activity == Activity::Walk ? walkTarget : tank.position.x;
    std::size_t best = 0;
    Contact least{-1, Horizon + 1};
    float nearest = std::numeric_limits<float>::infinity();
    for (std::size_t i = 0; i < Escapes.size(); ++i) {
        sf::Vector2f end;
        const Contact contact = contactOf(playing(Escapes[i], 0), &end);
        const float away = std::abs(distanceAlong(end.x, aim, 1)) +
                           FallCost * std::max(0.f, end.y - tank.position.y);
        const bool better =
            contact.steps == 0
                ? least.steps > 0 || away < nearest
                : least.steps > 0 &&
                      (contact.first > least.first ||
                       (contact.first == least.first && contact.steps < least.steps));
        if (better) {
            least = contact;
            nearest = away;
            best = i;
        }
    }
    legs.clear();
    if (best == 0) {
        // Standing is safe: stand a while before trying the way on again.
        activity = Activity::Wait;
        errand = {};
        waited = 0;
        return Maneuver::brake(tank);
    }
    activity = Activity::Evade;
    move = Escapes[best];
    moveFrame = 0;
    return move.controls(moveFrame++, tank);
}
