#pragma once

#include "core/CopyingProgram.hpp"
#include "core/ResourceHolder.hpp"
#include "world/Camera.hpp"
#include "world/SceneNode.hpp"

#include <SFML/Graphics/Texture.hpp>

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace sf {
class RenderTarget;
}
class CommandQueue;
class GameHUD;
class Opponent;
class Platform;
class Player;
class SpriteNode;

// Everything that is played: the in-game pictures and sounds, the scene graph of the current
// level and the camera. Each step runs the scene, the collision pass, the queued commands, the
// camera, the sound listener and the removal pass, and builds the next level once no spawner is
// left. After the last level the game goes on from level 1; levels that cannot be loaded, or that
// have no spawner and so could never be played, are skipped with a message, and when none can be
// played, the world has nothing to play (hasLevel() is false).
//
// The world is laid out for the target's size from 1280 up to 1920 pixels across: a wider target is
// played as a 1920-pixel-wide one of the same shape (published as windowSize), a narrower one as a
// 1280-pixel-wide one, and the picture is scaled to fill it, so play is the same on every monitor.
class World {
public:
    // Builds the first level, from firstLevel on, for the target it will draw into (the game
    // window). A level number past the last level starts from level 1. A layout size, when given,
    // is played in instead of the target's (a replay plays in the size it was recorded in), and
    // the picture is scaled to the target.
    explicit World(sf::RenderTarget& target, int firstLevel = 1, sf::Vector2u playedIn = {});
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // Plays dt of real time: in one step, or a frame longer than 1/60 s in equal steps of at most
    // 1/60 s, so nothing moves further in a step than in a 60 Hz frame. No step follows one that
    // ended the game or changed the level. afterStep runs after every step played, beforeStep
    // before it: whoever is at the controls queues in one of them what it holds, so a held key
    // drives in every step of a long frame.
    void update(sf::Time dt, const std::function<void()>& afterStep = {},
                const std::function<void()>& beforeStep = {});
    // Paints every pixel of the target, each about once: the backdrop only where the HUD banner
    // does not cover it, the map and the actors only where they are in view.
    void draw();
    CommandQueue& getCommandQueue();
    // Calls the game-over callback when no tank is left to spawn.
    void checkGameOver(int count);

    bool hasLevel() const { return playable; }
    int getLevel() const { return level; }
    int getLevelCount() const { return levelCount; }
    // Game time played in the current level.
    sf::Time getLevelTime() const { return levelTime; }
    // The game time of the step played last, for whoever records play step by step.
    sf::Time getLastStep() const { return lastStep; }
    // Tanks destroyed in the current level so far, the wreck still falling included.
    int getTanksLost() const;
    // What is in play, for reading only through a const world.
    const Player* getPlayer() const { return player; }
    Player* getPlayer() { return player; }
    const Platform* getPlatform() const { return platform; }
    Platform* getPlatform() { return platform; }
    const Opponent* getOpponent() const { return opponent; }
    Opponent* getOpponent() { return opponent; }
    GameHUD* getHUD() { return hud; }
    const SceneNode& getObjectsLayer() const { return *actorLayers[1]; }
    SceneNode& getObjectsLayer() { return *actorLayers[1]; }
    const Camera& getCamera() const { return camera; }
    // The size play is laid out in: the target's, or 1920 (1280) pixels across for a wider
    // (narrower) target.
    sf::Vector2u getLayoutSize() const { return layout; }

    // Set by the game screen; called when the game is over.
    std::function<void()> gameOverCallback;
    // Set by the game screen; called with the level's number when its last spawner is gone, while
    // the level's player, time and losses can still be read, just before the next level is built.
    std::function<void(int level)> levelClearedCallback;

    // Level files are "Levels/Level1.lua", "Levels/Level2.lua", ... up to the first one missing.
    static int countLevels();
    static std::string levelFile(int level);

private:
    void loadTextures();
    // One step of play; false when the game ended or the level changed in it, or nothing is left
    // to play.
    bool step(sf::Time dt);
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
    bool gameOver = false; // the game-over callback was called in the current update
    bool backdropOpaque = false;
    bool bannerOpaque = false;
    sf::Time levelTime;
    sf::Time lastStep;
    sf::RenderTarget& target;
    sf::Vector2u layout;
    sf::View screenView; // the background and the HUD, in layout pixels over the whole target
    TextureHolder textures;
    CopyingProgram copying; // the backdrop and the banner, when they are opaque
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
    std::vector<std::pair<std::size_t, std::size_t>> pairs; // bodies by scene order
    std::vector<sf::FloatRect> rectBuffer;
};

// Whether the pair holds one node of each category; swaps the pair so that the node of type1
// comes first.
bool matchesCategories(SceneNode::Pair& colliders, std::uint32_t type1, std::uint32_t type2);
