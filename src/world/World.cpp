#include "world/World.hpp"

#include "actors/Animal.hpp"
#include "actors/Objects.hpp"
#include "actors/Opponent.hpp"
#include "actors/Player.hpp"
#include "actors/PowerUp.hpp"
#include "actors/Tank.hpp"
#include "core/CommandQueue.hpp"
#include "core/Pictures.hpp"
#include "core/SoundPlayer.hpp"
#include "hud/GameHUD.hpp"
#include "world/Physics.hpp"
#include "world/Platform.hpp"
#include "world/SpriteNode.hpp"
#include "world/WorldGlobals.hpp"

#include <SFML/Graphics/RenderTarget.hpp>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>

namespace {

bool isFinite(const sf::FloatRect& r) {
    return std::isfinite(r.left) && std::isfinite(r.top) && std::isfinite(r.width) &&
           std::isfinite(r.height);
}

// Cells are a thirtieth of the width, but actors, speeds and jumps have fixed sizes in pixels:
// laid out any wider, the gaps between ledges would be out of reach; any narrower, the tank would
// not fit between them.
const unsigned NarrowestLayout = 1280;
const unsigned WidestLayout = 1920;

// The size the world is laid out and played in for a target of the given size: of its shape, and
// between the narrowest and the widest layout across.
sf::Vector2u layoutSize(sf::Vector2u targetSize) {
    const unsigned width = std::clamp(targetSize.x, NarrowestLayout, WidestLayout);
    if (width == targetSize.x)
        return targetSize;
    const double height = static_cast<double>(width) * targetSize.y / targetSize.x;
    return {width, std::max(1u, static_cast<unsigned>(std::lround(height)))};
}

} // namespace

World::World(sf::RenderTarget& target, int firstLevel, sf::Vector2u playedIn)
    : target(target),
      layout(playedIn.x > 0 && playedIn.y > 0 ? playedIn : layoutSize(target.getSize())) {
    levelCount = countLevels();
    level = firstLevel >= 1 && firstLevel <= levelCount ? firstLevel : 1;
    loadTextures();
    textureHolder = &textures;
    windowSize = layout;
    screenView.reset(
        sf::FloatRect(0.f, 0.f, static_cast<float>(layout.x), static_cast<float>(layout.y)));
    playable = buildFirstPlayable(level);
}

World::~World() {
    sceneGraph.clearChildren();
    if (textureHolder == &textures)
        textureHolder = nullptr;
}

std::string World::levelFile(int level) {
    return "Levels/Level" + std::to_string(level) + ".lua";
}

int World::countLevels() {
    int count = 0;
    std::error_code error;
    while (count < 100000 && std::filesystem::exists(levelFile(count + 1), error))
        ++count;
    return count;
}

void World::loadTextures() {
    // The backdrop is named twice, as it always was; the holder keeps the first.
    const std::pair<Textures::Textures, const char*> pictures[] = {
        {Textures::Platform, "Images/Platform.png"},
        {Textures::Tank, "Images/Tank.png"},
        {Textures::TankExplosion, "Images/TankExplosion.png"},
        {Textures::Platform, "Images/Platform.png"},
        {Textures::HUDBanner, "Images/HUDBanner.png"},
        {Textures::DroneBasic, "Images/Drone_Basic.png"},
        {Textures::PowerUps, "Images/PowerUps.png"},
        {Textures::Vanish, "Images/Vanish.png"}};
    for (const auto& [id, file] : pictures)
        textures.load(id, file);

    sf::Texture& backdrop = textures.get(Textures::Platform);
    sf::Texture& banner = textures.get(Textures::HUDBanner);
    banner.setSmooth(true);
    // Laid out in the window's own pixels, the backdrop and a banner whose edges fall on whole
    // pixels are kept at the size they are drawn, in the window's order of colours, so that they
    // are copied rather than sampled.
    if (layout == target.getSize()) {
        // Stored with the target's own graphics context.
        target.setActive(true);
        Pictures::keepAtDrawnSize(backdrop, layout);
        Pictures::storeInWindowOrder(backdrop);
        const sf::FloatRect area = GameHUD::bannerArea(layout);
        const auto whole = [](float v) { return v == std::round(v); };
        if (whole(area.left) && whole(area.top) && whole(area.width) && whole(area.height)) {
            Pictures::keepAtDrawnSize(banner, sf::Vector2u(static_cast<unsigned>(area.width),
                                                           static_cast<unsigned>(area.height)));
            Pictures::storeInWindowOrder(banner);
        }
    }
    backdropOpaque = Pictures::isOpaque(backdrop);
    bannerOpaque = Pictures::isOpaque(banner);

    const std::pair<SFX::SFX, const char*> effects[] = {
        {SFX::Explosion, "Audio/Explosion.ogg"},
        {SFX::Repair, "Audio/Repair.ogg"},
        {SFX::RoboEntry, "Audio/RoboEntry.ogg"},
        {SFX::RoboDelete, "Audio/RoboDelete.ogg"},
        {SFX::KeyGeneration, "Audio/KeyGeneration.ogg"},
        {SFX::PowerObtained, "Audio/PowerObtained.ogg"},
        {SFX::PortalExplosion, "Audio/PortalExplosion.ogg"},
        {SFX::RoboVanish, "Audio/RoboVanish.ogg"},
        {SFX::Jump, "Audio/Jump.ogg"},
        {SFX::BlockStruck, "Audio/BlockStruck.ogg"}};
    for (const auto& [id, file] : effects)
        soundPlayer().load(id, file);
}

int World::nextLevel(int current) const {
    return levelCount > 0 ? current % levelCount + 1 : 1;
}

bool World::buildFirstPlayable(int first) {
    if (levelCount == 0) {
        std::cerr << "No level to play: " << levelFile(1) << " does not exist\n";
        return false;
    }
    int candidate = (first - 1) % levelCount + 1;
    for (int tried = 0; tried < levelCount; ++tried, candidate = nextLevel(candidate)) {
        if (buildScene(candidate)) {
            if (opponent->getSpawnerCount() > 0) {
                level = candidate;
                return true;
            }
            // It would count as cleared at once, and so would every level after it.
            std::cerr << "Level file " << levelFile(candidate)
                      << ": the level has no spawner, so it cannot be played\n";
        }
        // The map loader has already named the file and what is wrong with it.
        std::cerr << "Skipping level " << candidate << "\n";
        // Whatever the half-built scene queued must not outlive it.
        drainCommands(sf::Time::Zero);
        sceneGraph.clearChildren();
        background = nullptr;
        hud = nullptr;
        platform = nullptr;
        opponent = nullptr;
        player = nullptr;
    }
    std::cerr << "No level can be played; there is nothing to play\n";
    return false;
}

bool World::buildScene(int levelNumber) {
    levelTime = sf::Time::Zero;
    for (SceneNode*& layer : sceneLayers) {
        auto node = std::make_unique<SceneNode>();
        layer = node.get();
        sceneGraph.attachChild(std::move(node));
    }

    auto backgroundSprite = std::make_unique<SpriteNode>();
    background = backgroundSprite.get();
    sceneLayers[0]->attachChild(std::move(backgroundSprite));

    auto HUDSprite = std::make_unique<GameHUD>();
    hud = HUDSprite.get();
    sceneLayers[0]->attachChild(std::move(HUDSprite));
    background->setOpaque(backdropOpaque, &copying);
    hud->setBannerOpaque(bannerOpaque, &copying);
    if (bannerOpaque)
        background->showDownTo(GameHUD::bannerArea(layout).top);

    auto TileSet = std::make_unique<Platform>();
    platform = TileSet.get();
    sceneLayers[1]->attachChild(std::move(TileSet));

    auto playerLayer = std::make_unique<SceneNode>();
    actorLayers[0] = playerLayer.get();
    sceneLayers[2]->attachChild(std::move(playerLayer));

    auto objects = std::make_unique<Objects>();
    actorLayers[1] = objects.get();
    sceneLayers[2]->attachChild(std::move(objects));

    auto enemy = std::make_unique<Opponent>();
    actorLayers[2] = enemy.get();
    opponent = enemy.get();
    sceneLayers[2]->attachChild(std::move(enemy));

    if (!platform->loadLevel(levelNumber))
        return false;
    worldSize = platform->getMapSize();

    camera.setViewSize(sf::Vector2f(static_cast<float>(layout.x),
                                    static_cast<float>(static_cast<double>(layout.y) * 0.8)));
    camera.reset(nullptr);

    auto newPlayer = std::make_unique<Player>();
    player = newPlayer.get();
    player->setSpawnPosition(0.f, worldSize.y - player->getSize().y);
    player->gameOverCallback = [this] { checkGameOver(0); };
    actorLayers[0]->attachChild(std::move(newPlayer));

    hud->setPlayer(player);
    opponent->addWolves(7);
    drainCommands(sf::Time::Zero);
    return true;
}

void World::drainCommands(sf::Time dt) {
    CommandQueue& queue = getCommandQueue();
    while (!queue.isEmpty())
        sceneGraph.onCommand(queue.pop(), dt);
}

void World::update(sf::Time dt, const std::function<void()>& afterStep,
                   const std::function<void()>& beforeStep) {
    // A long frame (a hitch, a window being moved) in one step would carry a falling actor
    // through a platform. The steps share the frame's microseconds, so no time is lost.
    const sf::Int64 total = dt.asMicroseconds();
    const sf::Int64 MaxStep = Physics::Step.asMicroseconds();
    const sf::Int64 steps = total > MaxStep ? (total + MaxStep - 1) / MaxStep : 1;
    gameOver = false;
    for (sf::Int64 i = 0; i < steps && playable; ++i) {
        if (beforeStep)
            beforeStep();
        const bool goOn = step(sf::microseconds(total / steps + (i < total % steps ? 1 : 0)));
        if (afterStep)
            afterStep();
        if (!goOn)
            break;
    }
}

int World::getTanksLost() const {
    if (!player)
        return 0;
    const Tank* tank = player->getTank();
    const int spawned = Player::StartLives - player->getLives();
    return tank && !tank->isDestroyed() ? spawned - 1 : spawned;
}

bool World::step(sf::Time dt) {
    if (!playable)
        return false;
    levelTime += dt;
    lastStep = dt;
    sceneGraph.update(dt);
    handleCollisions();
    drainCommands(dt);
    camera.follow(player->getTank());
    soundPlayer().update(camera.getCenter());
    sceneGraph.removeWrecks();

    if (opponent->getSpawnerCount() == 0) {
        if (levelClearedCallback)
            levelClearedCallback(level);
        sceneGraph.clearChildren();
        playable = buildFirstPlayable(nextLevel(level));
        return false;
    }
    return !gameOver;
}

void World::draw() {
    // An opaque backdrop paints every pixel, so nothing of the last frame need be cleared away.
    if (!playable || !backdropOpaque)
        target.clear();
    if (!playable)
        return;
    target.setView(screenView);
    target.draw(*sceneLayers[0]);
    target.setView(camera.getView());
    target.draw(*sceneLayers[1]);
    target.draw(*sceneLayers[2]);
    target.setView(target.getDefaultView());
}

CommandQueue& World::getCommandQueue() {
    return commandQueue();
}

void World::checkGameOver(int count) {
    if (count != 0)
        return;
    gameOver = true;
    if (gameOverCallback)
        gameOverCallback();
}

// Every collidable actor is resolved against the map in scene order, and each is tested against
// the actors after it: as it stands once the map has moved it, against them as they stood before
// their own turn. The pairs are found with a sweep over the bodies sorted by their left edge
// instead of testing every pair, and their effects are applied in scene order (of the earlier
// node, then of the later one): an order that is the same in every run, as addresses are not.
void World::handleCollisions() {
    collidables.clear();
    sceneLayers[2]->collectCollidables(collidables);

    bodies.clear();
    for (std::size_t i = 0; i < collidables.size(); ++i) {
        collidables[i]->getBoundingRect(rectBuffer);
        const sf::FloatRect body = rectBuffer.empty() ? sf::FloatRect() : rectBuffer[0];
        bodies.push_back({collidables[i], isFinite(body) ? body : sf::FloatRect(), {}, i});
    }

    std::set<SceneNode::Pair> unused;
    for (Body& body : bodies) {
        platform->checkNodeCollision(*body.node, unused);
        body.node->getBoundingRect(rectBuffer);
        body.after =
            rectBuffer.empty() || !isFinite(rectBuffer[0]) ? sf::FloatRect() : rectBuffer[0];
    }

    byLeft.resize(bodies.size());
    float widest = 0.f;
    for (std::size_t i = 0; i < bodies.size(); ++i) {
        byLeft[i] = i;
        widest = std::max(widest, std::abs(bodies[i].before.width));
    }
    std::sort(byLeft.begin(), byLeft.end(), [this](std::size_t a, std::size_t b) {
        return bodies[a].before.left < bodies[b].before.left;
    });

    pairs.clear();
    for (const Body& mover : bodies) {
        const sf::FloatRect& a = mover.after;
        if (a.width <= 0.f || a.height <= 0.f)
            continue;
        auto it = std::lower_bound(
            byLeft.begin(), byLeft.end(), a.left - widest,
            [this](std::size_t index, float x) { return bodies[index].before.left < x; });
        for (; it != byLeft.end() && bodies[*it].before.left < a.left + a.width; ++it) {
            const Body& other = bodies[*it];
            if (other.order > mover.order && a.intersects(other.before))
                pairs.emplace_back(mover.order, other.order);
        }
    }
    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());

    for (const auto& [first, second] : pairs) {
        SceneNode::Pair pair(bodies[first].node, bodies[second].node);
        if (matchesCategories(pair, Category::Animal, Category::Tank)) {
            auto* animal = dynamic_cast<Animal*>(pair.first);
            auto* tank = dynamic_cast<Tank*>(pair.second);
            // An animal already gone this frame (scrapped, or vanished) harms nobody.
            if (!animal || !tank || animal->isDestroyed())
                continue;
            if (animal->getMode() == Modes::Stunned) {
                animal->destroy();
                soundPlayer().play(SFX::RoboDelete);
                opponent->addWolves(1);
            } else if (!tank->isDestroyed()) {
                tank->destroy();
                soundPlayer().play(SFX::Explosion);
            }
        } else if (matchesCategories(pair, Category::Animal, Category::Animal)) {
            if (auto* animal = dynamic_cast<Animal*>(pair.first))
                animal->onCollision(*pair.second, {});
        } else if (matchesCategories(pair, Category::Tank, Category::PowerUp)) {
            if (auto* powerUp = dynamic_cast<PowerUp*>(pair.second))
                powerUp->onTouch(*pair.first);
        }
    }
}

bool matchesCategories(SceneNode::Pair& colliders, std::uint32_t type1, std::uint32_t type2) {
    const std::uint32_t category1 = colliders.first->getCategory();
    const std::uint32_t category2 = colliders.second->getCategory();
    if ((type1 & category1) && (type2 & category2))
        return true;
    if ((type1 & category2) && (type2 & category1)) {
        std::swap(colliders.first, colliders.second);
        return true;
    }
    return false;
}
