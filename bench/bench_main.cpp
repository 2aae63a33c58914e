#include <SFML/Window/Context.hpp>
#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    // The world draws into a real window; one display connection serves the whole run.
    sf::Context display;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
