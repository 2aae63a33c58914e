#pragma once

#include "actors/Controls.hpp"
#include "actors/Errands.hpp"
#include "actors/Maneuver.hpp"
#include "actors/RouteMap.hpp"
#include "actors/TankSimulator.hpp"
#include "actors/WolfForecast.hpp"

#include <SFML/System/Time.hpp>

#include <functional>
#include <memory>
#include <vector>

class World;

// A player that clears levels by itself, for the demo: after every world step it looks at the
// world (the map, the actors, the counters, the spawners), through const access only, and says
// which of the three controls it holds. It never touches the world otherwise.
//
// It plays from standstill to standstill: at rest it picks the nearest thing worth doing
// (Errands), finds the quickest route there (RouteMap) and walks and jumps along it, each move
// rehearsed first from the state the tank is really in. Every step it foresees the wolves
// (WolfForecast); when what it is doing would meet one, it takes whichever rehearsed escape meets
// none, or meets one latest.
class AutoPlayer {
public:
    AutoPlayer();
    ~AutoPlayer();

    Controls decide(const World& world);

private:
    enum class Activity { Idle, Walk, Move, Wait, Evade };
    using Policy = std::function<Controls(int frame, const TankSimulator::State& state)>;

    void startLevel(const World& world);
    Controls act(const World& world);
    Controls planFromRest(const World& world);
    Controls walk(float target, int direction);
    // How far the tank gets along the direction, held so now and braked after, until it rests.
    float travelUntilRest(const Controls& first, int direction);
    Controls startMove(int from, int to, const Maneuver& move);
    Controls guard(Controls planned);
    Policy currentPolicy() const;
    // The first step at which the tank, played by the policy, meets a harmful wolf; one more
    // than the forecast's steps when it meets none. end: where the tank is when the forecast or
    // the contact ends; met: the wolf it meets.
    int firstContact(const Policy& policy, sf::Vector2f* end = nullptr,
                     const Animal** met = nullptr);
    float distanceAlong(float from, float to, int direction) const;
    bool wolfWouldBeKnocked(const Animal& wolf);

    int level = 0;
    sf::Time levelTime;
    std::unique_ptr<TankSimulator> simulator;
    std::unique_ptr<RouteMap> routes;
    std::unique_ptr<WolfForecast> wolves;
    std::unique_ptr<WolfForecast> quarry;
    Errands errands;

    TankSimulator::State tank;
    Activity activity = Activity::Idle;
    std::vector<RouteMap::Leg> legs;
    Errand errand;
    float walkTarget = 0.f;
    int walkDirection = 0;
    Maneuver move;
    int moveFrame = 0;
    int retries = 0;
    int waited = 0;
    const Animal* blocker = nullptr; // the last wolf in the way; compared, never followed
    int blocked = 0;                 // how many times in a row it was
};
