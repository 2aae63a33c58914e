#include "replay/RunRecorder.hpp"

#include <iostream>

RunRecorder::RunRecorder(sf::Vector2u layout, std::optional<PlayerRuns> runs,
                         std::filesystem::path file)
    : session(layout), runs(std::move(runs)), file(std::move(file)) {}

void RunRecorder::startLevel(int level) {
    current.emplace();
    current->number = level;
    // The world has just read the same file.
    current->hash = Recording::levelHash(level).value_or(0);
}

void RunRecorder::stepped(sf::Time dt, const Recording::Outcome& outcome, int levelInPlay,
                          const Controls& queued) {
    if (current)
        current->add(dt, held);
    held = queued;
    if (outcome.end == Recording::End::Stopped)
        return;
    endLevel(outcome);
    if (outcome.end == Recording::End::Cleared && levelInPlay > 0)
        startLevel(levelInPlay);
}

void RunRecorder::endLevel(const Recording::Outcome& outcome) {
    if (!current)
        return;
    Recording::Level level = std::move(*current);
    current.reset();
    if (level.steps.empty())
        return;
    level.end = outcome.end;
    level.tanksLost = outcome.tanksLost;
    level.tank = outcome.tank;
    if (runs) {
        Recording run(session.layout);
        run.levels.push_back(level);
        runs->keep(run);
    }
    session.levels.push_back(std::move(level));
    std::string problem;
    if (!file.empty() && !session.write(file, problem))
        std::cerr << file.string() << ": " << problem << "; the recording is not kept\n";
}
