#include "world/Block.hpp"

#include "actors/Animal.hpp"
#include "actors/Entity.hpp"
#include "actors/Objects.hpp"
#include "core/Command.hpp"
#include "core/CommandQueue.hpp"
#include "core/SoundPlayer.hpp"
#include "world/Platform.hpp"
#include "world/Portal.hpp"
#include "world/PowerBlock.hpp"
#include "world/Spawner.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
const int PictureWidth = 64;
const int PictureHeight = 36;
const int PicturesPerRow = 10;
} // namespace

Block::Block(int tileNumber, int row, int column, int quadIndex)
    : row(row), column(column), tileNumber(tileNumber), quadIndex(quadIndex) {}

Block::~Block() = default;

namespace {
enum class Kind { Ground, Power, Spawner, Portal };

Kind kindOf(int tileNumber) {
    switch (tileNumber) {
    case 5:
        return Kind::Power;
    case 6:
    case 7:
    case 8:
    case 9:
        return Kind::Spawner;
    case 10:
        return Kind::Portal;
    default:
        return Kind::Ground;
    }
}
} // namespace

std::unique_ptr<Block> Block::createBlock(int tileNumber, int row, int column, int quadIndex) {
    switch (kindOf(tileNumber)) {
    case Kind::Power:
        return std::make_unique<PowerBlock>(tileNumber, row, column, quadIndex);
    case Kind::Spawner:
        return std::make_unique<Spawner>(tileNumber, row, column, quadIndex);
    case Kind::Portal:
        return std::make_unique<Portal>(tileNumber, row, column, quadIndex);
    case Kind::Ground:
        break;
    }
    return std::make_unique<Block>(tileNumber, row, column, quadIndex);
}

std::size_t Block::sizeOfBlock(int tileNumber) {
    switch (kindOf(tileNumber)) {
    case Kind::Power:
        return sizeof(PowerBlock);
    case Kind::Spawner:
        return sizeof(Spawner);
    case Kind::Portal:
        return sizeof(Portal);
    case Kind::Ground:
        break;
    }
    return sizeof(Block);
}

void Block::land(Entity* actor) {
    if (!actor || !quad)
        return;
    moveActor(*actor, Touch::Land, {});
    if (bumping)
        if (auto* animal = dynamic_cast<Animal*>(actor))
            animal->knock();
}

void Block::hitFromBelow(Entity* actor) {
    if (actor)
        moveActor(*actor, Touch::HitFromBelow, {});
    // Only the tank, or the hop of the block below, sets a block going; animals just bump
    // their heads.
    if (actor && (actor->getCategory() & Category::Tank) == 0)
        return;
    // The tank's strike is heard once, though its head may strike two blocks at once; the hops it
    // passes on upwards are not strikes.
    if (actor && !(currentPlatform && currentPlatform->hasHoppingBlock()))
        soundPlayer().play(SFX::BlockStruck);
    if (currentPlatform)
        currentPlatform->bump(this);
    if (item >= 0) {
        releaseItem(item);
        item = -1;
    }
}

void Block::hitSide(Entity* actor, std::bitset<8> contacts) {
    if (actor)
        moveActor(*actor, Touch::HitSide, contacts);
}

void Block::moveActor(Entity& actor, Touch touch, std::bitset<8> contacts) const {
    if (!quad)
        return;
    switch (touch) {
    case Touch::Land: {
        actor.setGrounded();
        actor.setPosition(actor.getPosition().x, quad[0].position.y - actor.getSize().y);
        const sf::Vector2f velocity = actor.getVelocity();
        actor.setVelocity(velocity.x, std::min(0.f, velocity.y));
        break;
    }
    case Touch::HitFromBelow:
        actor.setPosition(actor.getPosition().x, quad[2].position.y);
        actor.setVelocity(actor.getVelocity().x, 0.f);
        break;
    case Touch::HitSide: {
        sf::Vector2f velocity = actor.getVelocity();
        const bool animal = dynamic_cast<const Animal*>(&actor) != nullptr;
        // Animals turn away from the wall; anything else just stops.
        if (animal && contacts[3])
            velocity.x = std::abs(velocity.x);
        else if (animal && contacts[4])
            velocity.x = -std::abs(velocity.x);
        else
            velocity.x = 0.f;
        actor.setVelocity(velocity);
        actor.setAcceleration(0.f, actor.getAcceleration().y);
        const sf::Vector2f position = actor.getPosition();
        if (contacts[3])
            actor.setPosition(quad[1].position.x, position.y);
        else if (contacts[4])
            actor.setPosition(quad[0].position.x - actor.getSize().x - 1.f, position.y);
        break;
    }
    case Touch::None:
        break;
    }
}

void Block::updateTexture() {
    if (!quad)
        return;
    if (tileNumber < 1) {
        for (int i = 0; i < 4; ++i)
            quad[i].texCoords = {0.f, 0.f};
        return;
    }
    const sf::FloatRect picture(pictureOf(tileNumber));
    const float u = picture.left, v = picture.top;
    quad[0].texCoords = {u, v};
    quad[1].texCoords = {u + picture.width, v};
    quad[2].texCoords = {u + picture.width, v + picture.height};
    quad[3].texCoords = {u, v + picture.height};
}

sf::IntRect Block::pictureOf(int tileNumber) {
    // A level may name any tile number; far beyond the sheet it shows nothing, but the row must
    // not overflow on the way there.
    const long long index = tileNumber - 1LL;
    const long long top = std::min<long long>(index / PicturesPerRow * PictureHeight,
                                              std::numeric_limits<int>::max() - PictureHeight);
    return sf::IntRect(static_cast<int>(index % PicturesPerRow) * PictureWidth,
                       static_cast<int>(top), PictureWidth, PictureHeight);
}

bool Block::tryAssignKey() {
    if (item >= 0)
        return false;
    item = 3;
    return true;
}

void Block::releaseItem(int kind) {
    const sf::Vector2f corner = quad ? quad[0].position : sf::Vector2f();
    Command spawnComm;
    spawnComm.category = Category::Objects;
    spawnComm.action = [kind, corner](SceneNode& node, sf::Time) {
        if (auto* objects = dynamic_cast<Objects*>(&node))
            objects->spawn(kind, corner.x, corner.y);
    };
    commandQueue().push(spawnComm);
}
