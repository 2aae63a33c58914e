#include "world/Platform.hpp"

#include "actors/Entity.hpp"
#include "world/Block.hpp"
#include "world/LevelScript.hpp"
#include "world/WorldGlobals.hpp"

#include <SFML/Graphics/RenderTarget.hpp>

#include <algorithm>
#include <cmath>
#include <iostream>

Platform* currentPlatform = nullptr;

namespace {
const int Columns = 30;
const float PictureWidth = 64.f;
const float PictureHeight = 36.f;
// A bumped block rises five updates by 2 pixels, then falls back.
const float HopStep = 2.f;
const float HopHeight = 5 * HopStep;

// What a level's blocks may take. The shipped levels need well under a megabyte; a few lines of
// script could otherwise ask for a million spawners, gigabytes in all.
const std::size_t MaxLevelBytes = 64u * 1024u * 1024u;

// Memory the map would hold for these tiles: a pointer per cell, and per block the block itself,
// its owner, its four vertices and its cell index.
std::size_t levelBytes(const std::vector<int>& tileNumbers) {
    const std::size_t perBlock =
        sizeof(std::unique_ptr<Block>) + 4 * sizeof(sf::Vertex) + sizeof(int);
    std::size_t bytes = tileNumbers.size() * sizeof(Block*);
    for (const int tileNumber : tileNumbers)
        if (tileNumber != 0)
            bytes += Block::sizeOfBlock(tileNumber) + perBlock;
    return bytes;
}
} // namespace

Platform::Platform() {
    currentPlatform = this;
    tileset.loadFromFile("Images/Objects.png");
    tileset.setSmooth(true);
    vertices.setPrimitiveType(sf::Quads);
}

Platform::~Platform() {
    if (currentPlatform == this)
        currentPlatform = nullptr;
}

std::uint32_t Platform::getCategory() const {
    return Category::Platform;
}

sf::Vector2f Platform::getMapSize() const {
    return {mapSize.x * tileSize.x, mapSize.y * tileSize.y};
}

const Block* Platform::getBlock(int cell) const {
    if (cell < 0 || static_cast<std::size_t>(cell) >= tiles.size())
        return nullptr;
    return tiles[static_cast<std::size_t>(cell)];
}

Block* Platform::getBlock(int cell) {
    return const_cast<Block*>(static_cast<const Platform&>(*this).getBlock(cell));
}

int Platform::getBumpStep(const Block* block) const {
    if (!block)
        return -1;
    const auto found = bumping.find(const_cast<Block*>(block));
    return found == bumping.end() ? -1 : found->second;
}

void Platform::clearLevel() {
    bumping.clear();
    tiles.clear();
    solidCells.clear();
    markedCells.clear();
    blocks.clear();
    vertices.clear();
    mapSize = {0.f, 0.f};
}

bool Platform::loadLevel(int level) {
    clearLevel();
    const std::string path = "Levels/Level" + std::to_string(level) + ".lua";
    const float tileWidth = static_cast<float>(windowSize.x / Columns);
    tileSize = {tileWidth, PictureHeight * tileWidth / PictureWidth};

    LevelScript script;
    std::string problem;
    if (tileWidth <= 0.f)
        problem = "cannot be laid out in a window narrower than 30 pixels";
    else if (!script.load(path))
        problem = script.getProblem();
    else if (const std::size_t bytes = levelBytes(script.getTiles()); bytes > MaxLevelBytes)
        problem = "its blocks would take " + std::to_string(bytes / (1024 * 1024)) +
                  " MB, more than the " + std::to_string(MaxLevelBytes / (1024 * 1024)) +
                  " MB a level may use";
    if (!problem.empty()) {
        clearLevel();
        std::cerr << "Level file " << path << ": " << problem << "; no blocks were built\n";
        return false;
    }

    const int width = script.getWidth();
    mapSize = {static_cast<float>(width), static_cast<float>(script.getHeight())};
    const std::vector<int>& tileNumbers = script.getTiles();
    int emptyMarked = -1; // the first marked cell that holds no block
    int emptyMarkedCount = 0;
    for (std::size_t i = 0; i < tileNumbers.size(); ++i) {
        const int cell = static_cast<int>(i);
        if (script.getMarkers()[i] != 0)
            markedCells.push_back(cell);
        if (script.getMarkers()[i] != 0 && tileNumbers[i] == 0 && emptyMarkedCount++ == 0)
            emptyMarked = cell;
        if (tileNumbers[i] == 0) {
            tiles.push_back(nullptr);
            continue;
        }
        blocks.push_back(Block::createBlock(tileNumbers[i], cell / width, cell % width,
                                            static_cast<int>(solidCells.size())));
        tiles.push_back(blocks.back().get());
        solidCells.push_back(cell);
    }

    vertices.resize(4 * blocks.size());
    for (const auto& block : blocks) {
        const float x = static_cast<float>(block->getColumn()) * tileSize.x;
        const float y = static_cast<float>(block->getRow()) * tileSize.y;
        sf::Vertex* quad = &vertices[4 * static_cast<std::size_t>(block->getQuadIndex())];
        quad[0].position = {x, y};
        quad[1].position = {x + tileSize.x, y};
        quad[2].position = {x + tileSize.x, y + tileSize.y};
        quad[3].position = {x, y + tileSize.y};
        block->setQuad(quad);
        block->updateTexture();
    }
    // The key is never hidden there (generateKey skips them): worth saying, not worth refusing.
    if (emptyMarkedCount > 0)
        std::cerr << "Level file " << path << ": cell " << emptyMarked
                  << " is marked for the key but holds no block (" << emptyMarkedCount
                  << " such cell" << (emptyMarkedCount > 1 ? "s" : "")
                  << "); the key is never hidden there\n";
    return true;
}

void Platform::drawCurrent(sf::RenderTarget& target, sf::RenderStates states) const {
    if (solidCells.empty() || tileSize.y <= 0.f)
        return;
    const sf::View& camera = target.getView();
    const sf::FloatRect view = states.transform.getInverse().transformRect(
        {camera.getCenter() - camera.getSize() / 2.f, camera.getSize()});
    // The rows in the view, and below it those whose blocks may hop up into it: the blocks'
    // quads are in cell order, so those of a band of rows follow each other in the array.
    const auto quadOfRowAt = [this](float y) {
        const float row = std::clamp(std::floor(y / tileSize.y), 0.f, mapSize.y);
        const int cell = static_cast<int>(row) * static_cast<int>(mapSize.x);
        return static_cast<std::size_t>(
            std::lower_bound(solidCells.begin(), solidCells.end(), cell) - solidCells.begin());
    };
    std::size_t first = quadOfRowAt(view.top);
    std::size_t end = quadOfRowAt(view.top + view.height + HopHeight + tileSize.y);
    // And the nearest block beyond the view on each side. Software rendering rounds a few pixels
    // of a batch differently when nothing in it reaches beyond the view; with these, the blocks
    // in view come out exactly as when the whole map is drawn.
    first -= first > 0 ? 1 : 0;
    end += end < solidCells.size() ? 1 : 0;
    states.texture = &tileset;
    target.draw(&vertices[4 * first], 4 * (end - first), sf::Quads, states);
}

void Platform::bump(Block* block) {
    if (!block)
        return;
    block->setBumping(true);
    bumping.emplace(block, 0);
}

void Platform::updateCurrent(sf::Time) {
    const int width = static_cast<int>(mapSize.x);
    for (auto entry = bumping.begin(); entry != bumping.end();) {
        Block* block = entry->first;
        int& counter = entry->second;
        const float direction = (counter / 10) % 2 == 0 ? 1.f : -1.f;
        sf::Vertex* quad = block->getQuad();
        if (quad)
            for (int i = 0; i < 4; ++i)
                quad[i].position.y -= HopStep * direction;
        counter += 2;
        if (counter == 10 && quad && tileSize.x > 0.f) {
            // At the top of the hop the block strikes whatever sits in the cell it reached.
            const int column = static_cast<int>(quad[0].position.x / tileSize.x);
            const int row = static_cast<int>(quad[0].position.y / tileSize.y);
            if (column >= 0 && column < width && row >= 0) {
                if (Block* above = getBlock(row * width + column))
                    above->hitFromBelow(nullptr);
            }
        } else if (counter >= 20) {
            block->setBumping(false);
            entry = bumping.erase(entry);
            continue;
        }
        ++entry;
    }
}

void Platform::checkNodeCollision(SceneNode& node, std::set<Pair>&) {
    auto* actor = dynamic_cast<Entity*>(&node);
    if (!actor)
        return;
    meetBlocks(*actor, [this, actor](int cell, Block::Touch touch, std::bitset<8> contacts) {
        Block& block = *tiles[static_cast<std::size_t>(cell)];
        switch (touch) {
        case Block::Touch::Land:
            block.land(actor);
            break;
        case Block::Touch::HitFromBelow:
            block.hitFromBelow(actor);
            break;
        case Block::Touch::HitSide:
            block.hitSide(actor, contacts);
            break;
        case Block::Touch::None:
            break;
        }
    });
}

void Platform::moveLikeBlocks(Entity& actor, const Meeting& met) const {
    meetBlocks(actor, [this, &actor, &met](int cell, Block::Touch touch, std::bitset<8> contacts) {
        tiles[static_cast<std::size_t>(cell)]->moveActor(actor, touch, contacts);
        if (met)
            met(cell, touch, contacts);
    });
}

void Platform::meetBlocks(Entity& actor, const Meeting& meet) const {
    actor.getBoundingRect(rectBuffer);
    findTouchedCells(rectBuffer, touchBuffer);
    for (const TouchedCell& touched : touchBuffer)
        meet(touched.cell, classify(touched.contacts, actor.getVelocity().y), touched.contacts);
}

void Platform::findTouchedCells(const std::vector<sf::FloatRect>& rects,
                                std::vector<TouchedCell>& out) const {
    out.clear();
    if (tiles.empty() || rects.empty())
        return;
    const int width = static_cast<int>(mapSize.x);
    const int height = static_cast<int>(mapSize.y);
    const sf::FloatRect& body = rects[0];
    auto clampIndex = [](float value, int last) {
        return static_cast<int>(std::max(0.f, std::min(static_cast<float>(last), value)));
    };
    const int firstColumn = clampIndex(body.left / tileSize.x, width - 1);
    const int lastColumn = clampIndex((body.left + body.width) / tileSize.x, width - 1);
    const int firstRow = clampIndex(body.top / tileSize.y, height - 1);
    const int lastRow = clampIndex((body.top + body.height) / tileSize.y, height - 1);

    const std::size_t probes = std::min<std::size_t>(rects.size(), 8);
    for (int column = firstColumn; column <= lastColumn; ++column) {
        for (int row = firstRow; row <= lastRow; ++row) {
            const int cell = row * width + column;
            if (!tiles[static_cast<std::size_t>(cell)])
                continue;
            // The side columns reach one cell beyond the map, so an actor that wraps around
            // the edge is still held by the edge blocks.
            sf::FloatRect cellRect(static_cast<float>(column) * tileSize.x,
                                   static_cast<float>(row) * tileSize.y, tileSize.x, tileSize.y);
            if (column == 0) {
                cellRect.left = -tileSize.x;
                cellRect.width = 2.f * tileSize.x;
            } else if (column == width - 1) {
                cellRect.width = 2.f * tileSize.x;
            }
            std::bitset<8> contacts;
            for (std::size_t j = 1; j < probes; ++j)
                if (rects[j].intersects(cellRect))
                    contacts.set(j);
            if (contacts.any())
                out.push_back({cell, contacts});
        }
    }
    std::sort(out.begin(), out.end(),
              [](const TouchedCell& a, const TouchedCell& b) { return a.cell < b.cell; });
}

Block::Touch Platform::classify(std::bitset<8> b, float verticalSpeed) {
    const std::size_t n = b.count();
    const bool sides = b[3] && b[4];
    const bool oneSide = b[3] != b[4];
    if (b[1] && (n == 1 || (sides && n == 3) || (oneSide && n == 2)))
        return Block::Touch::Land;
    if (b[2] && (n == 1 || (sides && n == 3) || (oneSide && n == 2)))
        return Block::Touch::HitFromBelow;
    if (oneSide && n == 1)
        return Block::Touch::HitSide;
    if (sides && n == 2) {
        if (verticalSpeed > 0.f)
            return Block::Touch::Land;
        if (verticalSpeed < 0.f)
            return Block::Touch::HitFromBelow;
    }
    return Block::Touch::None;
}

void Platform::generateKey() {
    // A marked cell without a block could never hold the key; drop it for good.
    markedCells.erase(std::remove_if(markedCells.begin(), markedCells.end(),
                                     [this](int cell) { return getBlock(cell) == nullptr; }),
                      markedCells.end());
    std::shuffle(markedCells.begin(), markedCells.end(), keyEngine);
    // Taking the last cell that accepts is the same as reshuffling until the last one does,
    // without the endless loop when none does.
    for (auto cell = markedCells.rbegin(); cell != markedCells.rend(); ++cell) {
        if (getBlock(*cell)->tryAssignKey()) {
            std::cout << "Generated at " << *cell << std::endl;
            markedCells.erase(std::next(cell).base());
            return;
        }
    }
    std::cerr << "No key was placed: no marked cell with a free block is left\n";
}
