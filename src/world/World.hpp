#pragma once

#include "core/ResourceHolder.hpp"
#include "world/Camera.hpp"
#include "world/SceneNode.hpp"

#include <SFML/Graphics/Texture.hpp>

#include <array>
#include <functional>
#include <vector>

namespace sf {
class RenderWindow;
}
class CommandQueue;
class GameHUD;
class Opponent;
class Platform;
class Player;
class SpriteNode;

// Everything that is played: the in-game pictures and sounds, the scene graph of the current
// level and the camera. Each update runs the scene, the collision pass, the queued commands, the
// camera, the sound listener and the removal pass, and builds the next level once no spawner is
// left. After the last level the game goes on from level 1; levels that cannot be loaded are
// skipped, and when none can be, the world has nothing to play (hasLevel() is false).
class World {
public:
    explicit World(sf::RenderWindow& window);
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    void update(sf::Time dt);
    void draw();
    CommandQueue& getCommandQueue();
    // Calls the game-over callback when no tank is left to spawn.
    void checkGameOver(int count);

    bool hasLevel() const { return playable; }
    int getLevel() const { return level; }
    int getLevelCount() const { return levelCount; }
    Player* getPlayer() const { return player; }
    Platform* getPlatform() const { return platform; }
    Opponent* getOpponent() const { return opponent; }
    GameHUD* getHUD() const { return hud; }
    SceneNode& getObjectsLayer() const { return *actorLayers[1]; }
    const Camera& getCamera() const { return camera; }

    // Set by the game screen; called when the game is over.
    std::function<void()> gameOverCallback;

    // Level files are "Levels/Level1.lua", "Levels/Level2.lua", ... up to the first one missing.
    static int countLevels();

private:
    void loadTextures();
    // Builds the scene of the first level, from `first` on, that loads; false if none does.
    bool buildFirstPlayable(int first);
    bool buildScene(int level);
    void handleCollisions();
    void drainCommands(sf::Time dt);
    int nextLevel(int current) const;

    SpriteNode* background = nullptr;
    Player* player = nullptr;
    GameHUD* hud = nullptr;
    Platform* platform = nullptr;
    Opponent* opponent = nullptr;
    int level = 1;
    int levelCount = 0;
    bool playable = false;
    sf::RenderWindow& window;
    TextureHolder textures;
    SceneNode sceneGraph;
    std::array<SceneNode*, 3> sceneLayers{};
    std::array<SceneNode*, 3> actorLayers{};
    Camera camera;

    // Reused by every collision pass, so a frame allocates nothing for its pairs.
    struct Body {
        SceneNode* node;
        sf::FloatRect before; // at the start of the pass
        sf::FloatRect after;  // once the map has resolved the node
        std::size_t order;    // position in the scene's depth-first order
    };
    std::vector<SceneNode*> collidables;
    std::vector<Body> bodies;
    std::vector<std::size_t> byLeft;
    std::vector<SceneNode::Pair> pairs;
    std::vector<sf::FloatRect> rectBuffer;
};

// Whether the pair holds one node of each category; swaps the pair so that the node of type1
// comes first.
bool matchesCategories(SceneNode::Pair& colliders, std::uint32_t type1, std::uint32_t type2);
