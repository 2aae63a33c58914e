#include "actors/PowerUp.hpp"

#include "actors/Player.hpp"
#include "core/CommandQueue.hpp"
#include "core/ResourceHolder.hpp"
#include "core/SoundPlayer.hpp"
#include "world/WorldGlobals.hpp"

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Texture.hpp>

#include "core/LuaState.hpp"

#include <climits>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <set>
#include <string>

namespace {
const char* const ScriptFile = "Scripts/PowerUps.lua";

// The colour counter each kind fills: the green and blue tokens sit the other way round in the
// picture sheet than the counters do.
const int CounterOfKind[4] = {0, 1, 3, 2};

// Each distinct problem is told once per process: every power-up reads the script, and a broken
// file would otherwise print one message per token.
void reportOnce(const std::string& problem) {
    static std::set<std::string> reported;
    if (reported.insert(problem).second)
        std::cerr << ScriptFile << ": " << problem << '\n';
}

// A script stopped for its time or memory is not run again while the file stays as it was: every
// power-up would otherwise hold the game for a whole budget, one after the other.
struct ScriptVersion {
    std::filesystem::file_time_type written;
    std::uintmax_t size = 0;
    bool operator==(const ScriptVersion& other) const {
        return written == other.written && size == other.size;
    }
};

std::optional<ScriptVersion> currentVersion() {
    std::error_code error;
    const auto written = std::filesystem::last_write_time(ScriptFile, error);
    if (error)
        return std::nullopt;
    const auto size = std::filesystem::file_size(ScriptFile, error);
    if (error)
        return std::nullopt;
    return ScriptVersion{written, size};
}

std::optional<ScriptVersion>& stoppedVersion() {
    static std::optional<ScriptVersion> version;
    return version;
}

// Fields are read raw: a metamethod could raise a Lua error outside protected mode.
int readField(lua_State* lua, const char* field, int entryKey) {
    lua_pushstring(lua, field);
    lua_rawget(lua, -2);
    int result = 0;
    if (!lua_isnil(lua, -1)) {
        int isNumber = 0;
        const lua_Number value = lua_tonumberx(lua, -1, &isNumber);
        if (isNumber && std::isfinite(value) && value >= INT_MIN && value <= INT_MAX)
            result = static_cast<int>(value);
        else
            reportOnce("field '" + std::string(field) + "' of entry " + std::to_string(entryKey) +
                       " is not a usable number (" + luaL_typename(lua, -1) + "); using 0");
    }
    lua_pop(lua, 1);
    return result;
}

// The script returns a table whose entry kind + 1 is {left, top, width, height}; a missing
// field reads as 0. Anything else gives the empty rectangle.
sf::IntRect readPictureRect(int kind) {
    const std::optional<ScriptVersion> version = currentVersion();
    if (version && version == stoppedVersion())
        return {};
    // Budgeted: a script that loops or allocates without end is stopped, not obeyed.
    LuaState script;
    lua_State* lua = script.get();
    if (!lua) {
        reportOnce("no memory to run the script");
        return {};
    }
    if (!script.runFile(ScriptFile, LUA_MULTRET)) {
        reportOnce("cannot be used: " + script.error());
        if (script.wasStopped())
            stoppedVersion() = version;
        return {};
    }
    if (lua_gettop(lua) == 0) {
        reportOnce("returns nothing; it must return a table of picture rectangles");
        return {};
    }
    if (!lua_istable(lua, -1)) {
        reportOnce(std::string("returns a ") + luaL_typename(lua, -1) +
                   " instead of a table of picture rectangles");
        return {};
    }
    const lua_Integer entryKey = static_cast<lua_Integer>(kind) + 1;
    lua_pushinteger(lua, entryKey);
    lua_rawget(lua, -2);
    if (!lua_istable(lua, -1)) {
        reportOnce("has no table at key " + std::to_string(entryKey) + " for power-up kind " +
                   std::to_string(kind) + " (found " + luaL_typename(lua, -1) + ")");
        return {};
    }
    const int key = static_cast<int>(entryKey);
    sf::IntRect rect;
    rect.left = readField(lua, "left", key);
    rect.top = readField(lua, "top", key);
    rect.width = readField(lua, "width", key);
    rect.height = readField(lua, "height", key);
    lua_settop(lua, 0);
    return rect;
}
} // namespace

sf::IntRect PowerUp::pictureOf(int kind) {
    return readPictureRect(kind);
}

PowerUp::PowerUp(int kind) : kind(kind) {
    setCollidable(true);
    sprite.setTexture(textureHolder->get(Textures::PowerUps));
    setCategory(Category::PowerUp);
    pictureRect = pictureOf(kind);
    sprite.setTextureRect(pictureRect);
    setVelocity(0.f, -RiseSpeed);
}

PowerUp::PowerUp(int kind, float x, float y) : PowerUp(kind) {
    setPosition(x, y - static_cast<float>(pictureRect.height));
}

PowerUp::~PowerUp() = default;

void PowerUp::onTouch(SceneNode& other) {
    if (other.getCategory() != Category::Tank || pickedUp)
        return;
    soundPlayer().play(SFX::PowerObtained);
    if (kind < 0 || kind > 3)
        return;
    const int counter = CounterOfKind[kind];
    commandQueue().push({[counter](SceneNode& node, sf::Time) {
                             if (auto* player = dynamic_cast<Player*>(&node))
                                 player->addColour(counter);
                         },
                         Category::Player});
    destroy();
}

sf::Vector2f PowerUp::getSize() const {
    return {static_cast<float>(pictureRect.width), static_cast<float>(pictureRect.height)};
}

void PowerUp::getBoundingRect(std::vector<sf::FloatRect>& out) const {
    out.clear();
    const sf::FloatRect bounds = getWorldTransform().transformRect(sprite.getGlobalBounds());
    const sf::FloatRect body(bounds.left, bounds.top, static_cast<float>(pictureRect.width),
                             static_cast<float>(pictureRect.height));
    out.push_back(body);
    out.push_back(body);
}

bool PowerUp::isMarkedForRemoval() const {
    return pickedUp;
}

void PowerUp::destroy() {
    pickedUp = true;
}

void PowerUp::drawCurrent(sf::RenderTarget& target, sf::RenderStates states) const {
    if (isInView(target, states, sprite.getGlobalBounds()))
        target.draw(sprite, states);
}
