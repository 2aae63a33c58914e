#pragma once
// Shared set-up of the level tests: a scratch game folder with small generated pictures, sounds
// and the power-up script, the process-wide values the world would publish, level scripts,
// captured console streams and a plain actor with hand-made probes.

#include "actors/Entity.hpp"
#include "core/CommandQueue.hpp"
#include "core/ResourceHolder.hpp"
#include "core/SoundPlayer.hpp"
#include "world/Block.hpp"
#include "world/Spawner.hpp"
#include "world/WorldGlobals.hpp"

#include "TestSupport.hpp"

#include <SFML/Audio/SoundBuffer.hpp>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/VertexArray.hpp>
#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace leveltest {

inline void drainQueue() {
    while (!commandQueue().isEmpty())
        commandQueue().pop();
}

inline std::vector<Command> takeCommands() {
    std::vector<Command> commands;
    while (!commandQueue().isEmpty())
        commands.push_back(commandQueue().pop());
    return commands;
}

// Delivers every queued command (and those the actions queue) through a scene, as the world does.
inline void deliverAll(SceneNode& root) {
    while (!commandQueue().isEmpty())
        root.onCommand(commandQueue().pop(), sf::Time::Zero);
}

// A scratch folder that is the working directory while the object lives, holding
// Images/Objects.png, Scripts/PowerUps.lua (32 x 32 tokens) and the actors' pictures, loaded into
// a holder published as textureHolder; windowSize and worldSize are set and restored.
class GameFolder {
public:
    explicit GameFolder(unsigned windowWidth = 1920)
        : cwd(dir.path()), previousHolder(textureHolder), previousWindow(windowSize),
          previousWorld(worldSize) {
        drainQueue();
        loadEffects();
        testsupport::fs::create_directories(dir / "Images");
        sf::Image objects;
        objects.create(640, 72, sf::Color(120, 80, 40));
        EXPECT_TRUE(objects.saveToFile((dir / "Images/Objects.png").string()));
        testsupport::writeFile(dir / "Scripts/PowerUps.lua", R"(
local sheet = {}
for i = 1, 4 do sheet[i] = { left = (i - 1) * 32, top = 0, width = 32, height = 32 } end
return sheet
)");
        picture(Textures::Tank, "Tank.png", 55, 76);
        picture(Textures::TankExplosion, "TankExplosion.png", 65, 65);
        picture(Textures::DroneBasic, "Drone_Basic.png", 100, 70);
        picture(Textures::Vanish, "Vanish.png", 640, 128);
        picture(Textures::PowerUps, "PowerUps.png", 128, 32);
        textureHolder = &holder;
        windowSize = {windowWidth, windowWidth * 9 / 16};
        worldSize = {2000.f, 2000.f};
    }
    ~GameFolder() {
        drainQueue();
        textureHolder = previousHolder;
        windowSize = previousWindow;
        worldSize = previousWorld;
    }
    GameFolder(const GameFolder&) = delete;
    GameFolder& operator=(const GameFolder&) = delete;

    const testsupport::fs::path& path() const { return dir.path(); }

    TextureHolder holder;

private:
    void picture(Textures::Textures id, const std::string& name, unsigned width, unsigned height) {
        sf::Image image;
        image.create(width, height, sf::Color::White);
        const std::string file = (dir / ("Images/" + name)).string();
        EXPECT_TRUE(image.saveToFile(file));
        holder.load(id, file);
    }

    // Every effect gets a short real sound, so playing one is not an error.
    static void loadEffects() {
        static bool loaded = false;
        if (loaded)
            return;
        testsupport::TempDir scratch;
        std::vector<sf::Int16> samples(441, 1000);
        sf::SoundBuffer buffer;
        ASSERT_TRUE(buffer.loadFromSamples(samples.data(), samples.size(), 1, 44100));
        const std::string file = (scratch / "click.wav").string();
        ASSERT_TRUE(buffer.saveToFile(file));
        for (int effect = SFX::Explosion; effect <= SFX::RoboVanish; ++effect)
            soundPlayer().load(static_cast<SFX::SFX>(effect), file);
        loaded = true;
    }

    testsupport::TempDir dir;
    testsupport::ScopedCwd cwd;
    TextureHolder* previousHolder;
    sf::Vector2u previousWindow;
    sf::Vector2f previousWorld;
};

inline std::string numbers(const std::vector<int>& values) {
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i)
        text += (i ? ", " : "") + std::to_string(values[i]);
    return text;
}

// A level script shaped like the ones the map editor exports.
inline std::string levelScript(int width, int height, const std::vector<int>& tiles,
                               const std::vector<int>& marks) {
    return "return {\n  version = '1.2', orientation = 'orthogonal',\n  layers = {\n"
           "    { type = 'tilelayer', name = 'Blocks', width = " +
           std::to_string(width) + ", height = " + std::to_string(height) + ",\n      data = { " +
           numbers(tiles) +
           " } },\n    { type = 'tilelayer', name = 'Keys', width = " + std::to_string(width) +
           ", height = " + std::to_string(height) + ",\n      data = { " + numbers(marks) +
           " } },\n  },\n}\n";
}

// Writes Levels/Level<number>.lua in the working directory.
inline void writeLevel(int number, const std::string& script) {
    testsupport::writeFile("Levels/Level" + std::to_string(number) + ".lua", script);
}

// A level of the given size whose blocks and marks are listed by cell index.
inline void writeGrid(int number, int width, int height,
                      const std::vector<std::pair<int, int>>& blocks,
                      const std::vector<int>& markedCells = {}) {
    std::vector<int> tiles(static_cast<std::size_t>(width * height), 0);
    std::vector<int> marks(tiles.size(), 0);
    for (const auto& [cell, tile] : blocks)
        tiles[static_cast<std::size_t>(cell)] = tile;
    for (int cell : markedCells)
        marks[static_cast<std::size_t>(cell)] = 1;
    writeLevel(number, levelScript(width, height, tiles, marks));
}

using testsupport::StreamCapture;

// A plain actor: a body with four probes given relative to its position.
class TestActor : public Entity {
public:
    // 40 x 60: feet strip, head strip, left and right halves between them.
    TestActor()
        : TestActor({{0, 0, 40, 60},
                     {10, 50, 20, 10},
                     {10, 0, 20, 10},
                     {0, 10, 20, 40},
                     {20, 10, 20, 40}}) {}
    explicit TestActor(std::vector<sf::FloatRect> probes) : rects(std::move(probes)) {
        setSize({rects[0].width, rects[0].height});
        setCollidable(true);
    }
    void getBoundingRect(std::vector<sf::FloatRect>& out) const override {
        out.clear();
        for (sf::FloatRect rect : rects) {
            rect.left += getPosition().x;
            rect.top += getPosition().y;
            out.push_back(rect);
        }
    }

private:
    std::vector<sf::FloatRect> rects;
};

// A block on its own, 64 x 36 with its top-left corner at (left, top), drawn from its own quad.
struct LoneBlock {
    LoneBlock(int tile, float left, float top, int column = 3)
        : vertices(sf::Quads, 4), block(Block::createBlock(tile, 0, column, 0)) {
        vertices[0].position = {left, top};
        vertices[1].position = {left + 64.f, top};
        vertices[2].position = {left + 64.f, top + 36.f};
        vertices[3].position = {left, top + 36.f};
        block->setQuad(&vertices[0]);
        block->updateTexture();
    }
    Block* operator->() const { return block.get(); }
    Spawner& spawner() const { return dynamic_cast<Spawner&>(*block); }

    sf::VertexArray vertices;
    std::unique_ptr<Block> block;
};

} // namespace leveltest
