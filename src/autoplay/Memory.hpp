#pragma once

#include "autoplay/PlayerView.hpp"

#include <vector>

// What the automatic player remembers of what it saw in a level: where each wolf was last seen
// and when, and the step in which it saw one knocked over; where power-ups were lying; when it
// last saw a wolf come out of a spawner. A wolf that walks out of the window is kept in mind a
// little while; one that disappears in the middle of the window is gone. A power-up is kept until
// its place is in the window again without it.
//
// Wolves come out of the spawners one every 3 s while the level owes any, and one more comes at
// once for every wolf scrapped; the first comes 1.5 s into the level. So after a wolf came out,
// none comes for 3 s, and a spawner watched for a while without one coming owes none until the
// next scrap. A player learns this by watching; the opponent's own count and clock stay hidden.
class Memory {
public:
    // How long a knocked wolf stays down, as a player learns by watching: 15 s of play.
    static constexpr int StunSteps = 900;
    // The time between two wolves, and when the first comes.
    static constexpr int SpawnSteps = 180;
    static constexpr int FirstSpawnStep = 90;

    struct Wolf {
        PlayerView::Wolf seen;  // as last seen
        int seenAt = 0;         // step
        int knockedAt = -1;     // the step it was first seen stunned in; -1 when never
        bool knockSeen = false; // it was seen up before it was seen down
    };
    struct PowerUp {
        int kind = 0;
        sf::FloatRect body;
        bool still = false; // lying on something
    };

    void clear();
    // What it sees in the view of step `at`.
    void see(const PlayerView& view, int at);
    const std::vector<Wolf>& wolves() const { return wolfList; }
    const std::vector<PowerUp>& powerUps() const { return powerUpList; }
    const Wolf* wolf(int id) const;
    // Steps from `now` on until the wolf may be up again: what is left of the stun when it saw the
    // knock, a short while when it only ever saw it down; 0 for a wolf that is up.
    int wakesIn(const Wolf& wolf, int now) const;
    // The first step from which a wolf may come out of a spawner; -1 while none is owed.
    int spawnPossibleFrom() const;
    // Where a wolf that comes out of a spawner stands, and a little beyond on its way out.
    static std::vector<sf::FloatRect> spawnAreas(const MapSight& map);

private:
    void watchSpawners(const PlayerView& view, const std::vector<Wolf>& before, int at);

    std::vector<Wolf> wolfList;
    std::vector<PowerUp> powerUpList;
    int lastSpawn = FirstSpawnStep - SpawnSteps; // the step a wolf was last seen coming out
    int lastScrap = -1;
    int watchedSince = -1; // since when a spawner has been in the window; -1 while none is
    bool quiet = false;    // no wolf is owed
};
