#pragma once

#include "actors/Controls.hpp"
#include "autoplay/Errands.hpp"
#include "autoplay/Maneuver.hpp"
#include "autoplay/MapSight.hpp"
#include "autoplay/Memory.hpp"
#include "autoplay/PlayerView.hpp"
#include "autoplay/Reaction.hpp"
#include "autoplay/RouteMap.hpp"
#include "autoplay/TankSimulator.hpp"
#include "autoplay/WolfForecast.hpp"

#include <functional>
#include <memory>
#include <vector>

// A player that clears levels by itself, for the demo: after every step of play it is shown what
// a player sees (PlayerView), a reaction time late, and says which of the three controls it holds.
// It reaches the game through nothing else.
//
// It plays from standstill to standstill: at rest it picks the nearest thing worth doing
// (Errands), finds the quickest route there (RouteMap) and walks and jumps along it, each move
// rehearsed first from where its tank is now, which it knows from what it saw and the controls
// it has held since. Every step it foresees the wolves it sees or remembers (WolfForecast); when
// what it is doing would meet one, it takes whichever rehearsed escape meets none, or meets one
// latest.
class AutoPlayer {
public:
    // reactionSteps: how many steps of play late it sees what happens.
    explicit AutoPlayer(int reactionSteps = 0);
    ~AutoPlayer();

    // After every step of play: what the window shows now; gives the controls to hold.
    Controls decide(const PlayerView& now);

private:
    enum class Activity { Idle, Walk, Move, Wait, Evade };
    using Policy = std::function<Controls(int frame, const TankSimulator::State& state)>;

    void startLevel(const PlayerView& view);
    Controls play(const PlayerView& view);
    Controls act(const PlayerView& view);
    Controls planFromRest(const PlayerView& view);
    Controls walk(float target, int direction);
    // How far the tank gets along the direction, held so now and braked after, until it rests.
    float travelUntilRest(const Controls& first, int direction);
    Controls startMove(int from, int to, const Maneuver& move);
    Controls guard(Controls planned);
    Policy currentPolicy() const;
    // When the tank, played by the policy, meets harmful wolves: the first step it does (0 for
    // none) and in how many steps of the forecast. end: where the tank is when the forecast ends;
    // met: the number of the first wolf it meets.
    struct Contact {
        int first = 0;
        int steps = 0;
    };
    Contact contactOf(const Policy& policy, sf::Vector2f* end = nullptr, int* met = nullptr);
    float distanceAlong(float from, float to, int direction) const;
    bool wolfWouldBeKnocked(const PlayerView::Wolf& wolf);
    const PlayerView::Wolf* inSight(const PlayerView& view, int wolf) const;

    Reaction reaction;
    MapSight map; // what the simulator, the routes and the forecasts move things against
    int level = 0;
    sf::Time levelTime;
    int seenStep = -1; // the step of play it last took in
    int now = 0;       // the step of play it decides in
    int age = 0;       // how many steps old what it sees is
    std::unique_ptr<TankSimulator> simulator;
    std::unique_ptr<RouteMap> routes;
    std::unique_ptr<WolfForecast> wolves;
    std::unique_ptr<WolfForecast> quarry;
    Memory memory;
    Errands errands;

    TankSimulator::State tank; // where its tank is now, as far as it knows
    Activity activity = Activity::Idle;
    std::vector<RouteMap::Leg> legs;
    Errand errand;
    float walkTarget = 0.f;
    int walkDirection = 0;
    Maneuver move;
    int moveFrame = 0;
    int retries = 0;
    int waited = 0;
    std::vector<sf::FloatRect> redSpawners; // the ones the tank can pay now
    int blocker = 0;                        // the number of the last wolf in the way
    int blocked = 0;       // how often wolves got in the way since a move last went through
    int blockedErrand = 0; // how often in a row that wolf got in the way of the errand at
    int blockedCell = -1;  // this cell
};
