#include "core/Application.hpp"
#include "core/CommandLine.hpp"
#include "core/DisplayProbe.hpp"
#include "core/GamePaths.hpp"
#include "replay/Recording.hpp"
#include "world/World.hpp"

#include <iostream>

int main(int argc, char* argv[]) {
    const CommandLine commandLine(argc, argv);
    if (const auto status = commandLine.answer(std::cout, std::cerr))
        return *status;
    if (const auto problem = DisplayProbe::whyUnavailable()) {
        std::cerr << "quellix: " << *problem << "\n";
        return 1;
    }
    // Files named on the command line are where the player meant, before the game moves into its
    // data folder.
    CommandLine::Options options = commandLine.options();
    for (auto* file : {&options.replayFile, &options.recordFile})
        if (*file)
            *file = std::filesystem::absolute(**file);
    Recording replay;
    std::string problem;
    const auto refuse = [&] {
        std::cerr << "quellix: cannot replay " << options.replayFile->string() << ": " << problem
                  << "\n";
        return 1;
    };
    if (options.replayFile) {
        std::optional<Recording> recording = Recording::read(*options.replayFile, problem);
        if (!recording)
            return refuse();
        replay = std::move(*recording);
    }
    const GamePaths paths = GamePaths::choose(GamePaths::placesOfThisProcess(options.dataFolder));
    if (!paths.enter(std::cerr))
        return 1;
    if (const auto status = commandLine.refuseExitLevel(World::countLevels(), std::cerr))
        return *status;
    // The levels are read from the data folder.
    if (options.replayFile && !(problem = replay.mismatch()).empty())
        return refuse();
    Application App(options, paths, std::move(replay));
    return App.run();
}
