// Plays one shipped level with the automatic player at the pace of a person at an ordinary
// computer, and records it as the game records a player's run: frames of uneven length (a
// 60 Hz screen with late frames and the odd hitch), and a reaction time between what the player
// sees and the controls it holds. Run from the data folder; the replays in tests/replays are made
// with it by tools/record-replays.sh.
// Usage: human_pace LEVEL OUT_FILE SEED REACTION_MS
#include "autoplay/AutoPlayer.hpp"
#include "autoplay/WorldSight.hpp"
#include "core/CommandQueue.hpp"
#include "replay/RunRecorder.hpp"
#include "world/Physics.hpp"
#include "world/World.hpp"

#include <SFML/Graphics/RenderTexture.hpp>

#include <cstdlib>
#include <deque>
#include <iostream>
#include <random>

namespace {

// A frame as an ordinary screen gives it: mostly 1/60 s give or take a little, one in ten a
// frame late, one in two hundred a hitch of up to a tenth of a second.
sf::Time frame(std::mt19937& random) {
    const int kind = std::uniform_int_distribution<int>(0, 199)(random);
    int micros = std::uniform_int_distribution<int>(15000, 18300)(random);
    if (kind == 0)
        micros = std::uniform_int_distribution<int>(40000, 100000)(random);
    else if (kind < 20)
        micros = std::uniform_int_distribution<int>(25000, 34000)(random);
    return sf::microseconds(micros);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: human_pace LEVEL OUT_FILE SEED REACTION_MS\n";
        return 2;
    }
    const int level = std::atoi(argv[1]);
    std::mt19937 random(static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10)));
    const sf::Time reaction = sf::milliseconds(std::atoi(argv[4]));

    sf::RenderTexture target;
    if (!target.create(1280, 720))
        return 2;
    World world(target, level);
    if (!world.hasLevel() || world.getLevel() != level) {
        std::cerr << "human_pace: level " << level << " cannot be played\n";
        return 2;
    }
    RunRecorder recorder(world.getLayoutSize(), std::nullopt, argv[2]);
    recorder.startLevel(level);
    std::optional<Recording::Outcome> ended;
    bool gameOver = false;
    world.levelClearedCallback = [&](int) {
        ended = Recording::standing(world, Recording::End::Cleared);
    };
    world.gameOverCallback = [&] { gameOver = true; };

    // What the player decided, with the game time it saw it at; each decision is held once the
    // reaction time has passed.
    AutoPlayer player;
    WorldSight sight;
    std::deque<std::pair<sf::Time, Controls>> decided;
    sf::Time now;
    sf::Time nextLook;
    Controls held;
    const auto afterStep = [&] {
        now += world.getLastStep();
        const Recording::Outcome outcome =
            ended ? *ended
                  : Recording::standing(world, gameOver ? Recording::End::GameOver
                                                        : Recording::End::Stopped);
        // It plans in steps of 1/60 s, so it looks that often.
        if (now >= nextLook) {
            decided.emplace_back(now, player.decide(sight.look(world)));
            nextLook += Physics::Step;
        }
        while (!decided.empty() && decided.front().first + reaction <= now) {
            held = decided.front().second;
            decided.pop_front();
        }
        recorder.stepped(world.getLastStep(), outcome, 0, held);
        held.queueCommands(world.getCommandQueue());
    };
    while (!ended && !gameOver && world.getLevelTime() < sf::seconds(900.f))
        world.update(frame(random), afterStep);
    if (!ended && !gameOver)
        recorder.endLevel(Recording::standing(world, Recording::End::Stopped));
    const Recording::Outcome last = ended ? *ended : Recording::Outcome{};
    std::cout << argv[2] << ": " << (ended ? Recording::describe(last) : "level not cleared")
              << "\n";
    return ended ? 0 : 1;
}
