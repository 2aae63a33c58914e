// What a frame of play costs against two bare frames, in one window and one process:
// - the bare frame clears the window, draws one full-window picture (the level's backdrop,
//   stretched and blended as a plain program would) and shows it;
// - the floor draws only the level's backdrop, at the window's size and without blending, and
//   shows it: every pixel written once, nothing read but one texel for it. No frame that shows
//   the backdrop can cost less.
// The floor is also drawn as the game draws its backdrop, copied (`CopyingProgram`), which costs
// less than the library's own way on a software renderer: the floor the game can reach.
// The frame of play updates the world by 1/60 s on level 1 a few seconds into play, draws it and
// shows it. The repetitions are interleaved, so a change of the machine's load shifts all alike;
// the last lines are the ratios of their medians.
// Usage: frame_bench [--size=WIDTHxHEIGHT] [Google Benchmark flags]   (needs an X display at least
// that large; the default size is 1280x720)
#include "core/CommandQueue.hpp"
#include "core/CopyingProgram.hpp"
#include "core/Pictures.hpp"
#include "world/World.hpp"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Window/Event.hpp>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

const sf::Time Frame = sf::seconds(1.f / 60.f);

struct Scene {
    explicit Scene(sf::Vector2u size)
        : window(sf::VideoMode(size.x, size.y), "Quellix frame benchmark", sf::Style::None) {
        window.setPosition({0, 0});
        backdrop.loadFromFile("Images/Platform.png");
        picture.setTexture(backdrop);
        picture.setScale(static_cast<float>(size.x) / static_cast<float>(backdrop.getSize().x),
                         static_cast<float>(size.y) / static_cast<float>(backdrop.getSize().y));
        floorPicture.loadFromFile("Images/Platform.png");
        floorPicture.setSmooth(true);
        Pictures::keepAtDrawnSize(floorPicture, size);
        Pictures::storeInWindowOrder(floorPicture);
        floor.setTexture(floorPicture, true);
        floor.setScale(static_cast<float>(size.x) / static_cast<float>(floorPicture.getSize().x),
                       static_cast<float>(size.y) / static_cast<float>(floorPicture.getSize().y));
        world = std::make_unique<World>(window);
        for (int i = 0; i < 60 * 5; ++i)
            world->update(Frame);
    }

    void pollEvents() {
        sf::Event event;
        while (window.pollEvent(event)) {
        }
    }

    sf::RenderWindow window;
    sf::Texture backdrop;
    sf::Sprite picture;
    sf::Texture floorPicture;
    sf::Sprite floor;
    CopyingProgram copying;
    std::unique_ptr<World> world;
};

Scene* scene = nullptr;

void BM_BareFrame(benchmark::State& state) {
    for (auto _ : state) {
        scene->pollEvents();
        scene->window.clear();
        scene->window.draw(scene->picture);
        scene->window.display();
    }
}
BENCHMARK(BM_BareFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StrictFloor(benchmark::State& state) {
    for (auto _ : state) {
        scene->pollEvents();
        scene->window.draw(scene->floor, sf::BlendNone);
        scene->window.display();
    }
}
BENCHMARK(BM_StrictFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CopyingFloor(benchmark::State& state) {
    for (auto _ : state) {
        scene->pollEvents();
        scene->copying.draw(scene->window, scene->floor, sf::BlendNone);
        scene->window.display();
    }
}
BENCHMARK(BM_CopyingFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

// The game's own frame: events, a world update, the world's drawing (which covers the whole
// window), and the display.
void BM_PlayFrame(benchmark::State& state) {
    for (auto _ : state) {
        scene->pollEvents();
        scene->world->update(Frame);
        scene->world->draw();
        scene->window.display();
        while (!commandQueue().isEmpty())
            commandQueue().pop();
    }
}
BENCHMARK(BM_PlayFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

// The console report, and the medians of both frames for the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
    std::map<std::string, double> medians;
};

bool parseSize(const char* text, sf::Vector2u& size) {
    unsigned width = 0, height = 0;
    if (std::sscanf(text, "%ux%u", &width, &height) != 2 || width == 0 || height == 0)
        return false;
    size = {width, height};
    return true;
}

} // namespace

int main(int argc, char** argv) {
    sf::Vector2u size(1280, 720);
    // Interleaved repetitions by default; flags given on the command line come later and win.
    std::vector<char*> args{argv[0]};
    std::string defaults[] = {
        "--benchmark_repetitions=15", "--benchmark_enable_random_interleaving=true",
        "--benchmark_min_time=0.5", "--benchmark_report_aggregates_only=true"};
    for (std::string& flag : defaults)
        args.push_back(flag.data());
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--size=", 7) == 0) {
            if (!parseSize(argv[i] + 7, size)) {
                std::fprintf(stderr, "frame_bench: --size wants WIDTHxHEIGHT, not %s\n",
                             argv[i] + 7);
                return 2;
            }
        } else {
            args.push_back(argv[i]);
        }
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;

    std::filesystem::current_path(QUELLIX_DATA_DIR);
    Scene built(size);
    scene = &built;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto play = reporter.medians.find("BM_PlayFrame");
    for (const auto& [name, what] :
         {std::pair<const char*, const char*>{"BM_BareFrame", "bare frame"},
          {"BM_StrictFloor", "floor"},
          {"BM_CopyingFloor", "floor copied as the game does"}}) {
        const auto bare = reporter.medians.find(name);
        if (bare != reporter.medians.end() && play != reporter.medians.end() && bare->second > 0.0)
            std::printf("%ux%u: %s %.3f ms, frame of play %.3f ms, ratio %.2f\n", size.x, size.y,
                        what, bare->second, play->second, play->second / bare->second);
    }
    return 0;
}
