#include "core/Application.hpp"
#include "core/CommandLine.hpp"
#include "core/DisplayProbe.hpp"
#include "core/GamePaths.hpp"
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
    const GamePaths paths =
        GamePaths::choose(GamePaths::placesOfThisProcess(commandLine.options().dataFolder));
    if (!paths.enter(std::cerr))
        return 1;
    if (const auto status = commandLine.refuseExitLevel(World::countLevels(), std::cerr))
        return *status;
    Application App(commandLine.options(), paths);
    return App.run();
}
