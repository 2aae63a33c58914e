// What one frame of play and one level build cost, on the shipped data and under stress.
#include "actors/Objects.hpp"
#include "actors/Opponent.hpp"
#include "actors/Player.hpp"
#include "actors/Wolf.hpp"
#include "core/CommandQueue.hpp"
#include "world/Platform.hpp"
#include "world/World.hpp"
#include "world/WorldGlobals.hpp"

#include <SFML/Graphics/RenderWindow.hpp>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

namespace {

const sf::Time Frame = sf::seconds(1.f / 60.f);

// Runs in the game's data folder, with error output silenced (missing sounds on a machine
// without a sound card are not what is measured).
struct DataFolder {
    DataFolder() : previous(std::filesystem::current_path()) {
        std::filesystem::current_path(QUELLIX_DATA_DIR);
    }
    ~DataFolder() { std::filesystem::current_path(previous); }
    std::filesystem::path previous;
};

sf::RenderWindow& window() {
    static sf::RenderWindow instance(sf::VideoMode(1280, 720), "Quellix benchmark");
    return instance;
}

void drain() {
    while (!commandQueue().isEmpty())
        commandQueue().pop();
}

// Level 1 a few seconds into play: the tank out, wolves walking.
void BM_WorldUpdateShippedLevel(benchmark::State& state) {
    DataFolder folder;
    drain();
    World world(window());
    for (int i = 0; i < 60 * 8; ++i)
        world.update(Frame);
    for (auto _ : state)
        world.update(Frame);
    state.counters["wolves"] = static_cast<double>(world.getOpponent()->getChildren().size());
}
BENCHMARK(BM_WorldUpdateShippedLevel)->Unit(benchmark::kMicrosecond);

// 200 wolves and 200 power-ups spread over the level.
void BM_WorldUpdateCrowded(benchmark::State& state) {
    DataFolder folder;
    drain();
    World world(window());
    world.update(Frame);
    auto& objects = static_cast<Objects&>(world.getObjectsLayer());
    for (int i = 0; i < 200; ++i) {
        const float x = static_cast<float>((i * 97) % 1200);
        const float y = worldSize.y - 100.f - static_cast<float>((i * 53) % 1500);
        auto wolf = std::make_unique<Wolf>(*textureHolder);
        wolf->setPosition(x, y);
        wolf->setVelocity(i % 2 ? 100.f : -100.f, 0.f);
        world.getOpponent()->attachChild(std::move(wolf));
        objects.spawn(i % 4, static_cast<float>((i * 61) % 1200), y);
    }
    for (int i = 0; i < 30; ++i)
        world.update(Frame);
    for (auto _ : state)
        world.update(Frame);
    state.counters["wolves"] = static_cast<double>(world.getOpponent()->getChildren().size());
    state.counters["powerups"] = static_cast<double>(objects.getChildren().size());
}
BENCHMARK(BM_WorldUpdateCrowded)->Unit(benchmark::kMicrosecond);

// Loading a 30 x 120 map with every kind of block into a fresh platform.
void BM_BuildLevel30x120(benchmark::State& state) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "quellix-bench-level";
    fs::create_directories(dir / "Levels");
    {
        std::ostringstream tiles, marks;
        for (int cell = 0; cell < 30 * 120; ++cell) {
            const int row = cell / 30;
            const int tile = row % 5 == 4 ? 1 + (cell % 10) : 0;
            tiles << tile << ',';
            marks << (tile >= 1 && tile <= 4 && cell % 7 == 0 ? 1 : 0) << ',';
        }
        std::ofstream(dir / "Levels/Level1.lua")
            << "return { layers = { { width = 30, height = 120, data = {" << tiles.str()
            << "} }, { data = {" << marks.str() << "} } } }\n";
    }
    fs::create_directories(dir / "Images");
    fs::copy_file(fs::path(QUELLIX_DATA_DIR) / "Images/Objects.png", dir / "Images/Objects.png",
                  fs::copy_options::overwrite_existing);
    const fs::path previous = fs::current_path();
    fs::current_path(dir);
    windowSize = {1280, 720};
    std::ostringstream silenced;
    auto* old = std::cerr.rdbuf(silenced.rdbuf());
    for (auto _ : state) {
        Platform platform;
        benchmark::DoNotOptimize(platform.loadLevel(1));
        drain();
    }
    std::cerr.rdbuf(old);
    fs::current_path(previous);
}
BENCHMARK(BM_BuildLevel30x120)->Unit(benchmark::kMillisecond);

} // namespace
