#include "hud/GameHUD.hpp"

#include "actors/Player.hpp"
#include "core/CopyingProgram.hpp"
#include "core/ResourceHolder.hpp"
#include "world/WorldGlobals.hpp"

#include <SFML/Graphics/RenderTarget.hpp>

#include <cmath>
#include <cstring>
#include <iostream>
#include <limits>

namespace {

// The script may resize the array, but not without bound.
const lua_Integer MaxVertices = 1 << 16;

// The vertex functions below raise Lua errors with luaL_error, which unwinds with longjmp: they
// keep no C++ objects with destructors alive while they may raise one.

sf::VertexArray& handle(lua_State* state) {
    auto* expected = static_cast<sf::VertexArray*>(lua_touserdata(state, lua_upvalueindex(1)));
    if (!lua_islightuserdata(state, 1) || lua_touserdata(state, 1) != expected)
        luaL_error(state, "the first argument must be PlayerHUD");
    return *expected;
}

// Numbers become 32-bit integers rounded to nearest, halves to the even neighbour.
int roundedInteger(lua_State* state, int index) {
    if (!lua_isnumber(state, index))
        luaL_error(state, "argument %d must be a number", index);
    const double rounded = std::nearbyint(lua_tonumber(state, index));
    if (!(rounded >= std::numeric_limits<int>::min() && rounded <= std::numeric_limits<int>::max()))
        luaL_error(state, "argument %d is out of range", index);
    return static_cast<int>(rounded);
}

int roundedField(lua_State* state, int table, const char* field) {
    lua_getfield(state, table, field);
    if (!lua_isnumber(state, -1))
        luaL_error(state, "the rectangle has no number '%s'", field);
    const int value = roundedInteger(state, lua_gettop(state));
    lua_pop(state, 1);
    return value;
}

struct Corners {
    sf::Vector2f topLeft, topRight, bottomRight, bottomLeft;
};

Corners readRect(lua_State* state, int table) {
    if (!lua_istable(state, table))
        luaL_error(state, "argument %d must be a rectangle table", table);
    const long long left = roundedField(state, table, "left");
    const long long top = roundedField(state, table, "top");
    const long long width = roundedField(state, table, "width");
    const long long height = roundedField(state, table, "height");
    const auto x = [](long long v) { return static_cast<float>(v); };
    return {{x(left), x(top)},
            {x(left + width), x(top)},
            {x(left + width), x(top + height)},
            {x(left), x(top + height)}};
}

std::size_t quadStart(lua_State* state, const sf::VertexArray& vertices, int index) {
    const long long quad = roundedInteger(state, index);
    if (quad < 1 || static_cast<unsigned long long>(quad) * 4 > vertices.getVertexCount())
        luaL_error(state, "quad %d is outside the %d vertices", static_cast<int>(quad),
                   static_cast<int>(vertices.getVertexCount()));
    return static_cast<std::size_t>(quad - 1) * 4;
}

// resize(handle, n): exactly n vertices; new ones are white at (0, 0).
int vertexResize(lua_State* state) {
    sf::VertexArray& vertices = handle(state);
    const int count = roundedInteger(state, 2);
    if (count < 0 || count > MaxVertices)
        luaL_error(state, "cannot resize to %d vertices", count);
    vertices.resize(static_cast<std::size_t>(count));
    return 0;
}

// setType(handle, name): the primitive type by name (the last argument); unknown names change
// nothing. Returns the name.
int vertexSetType(lua_State* state) {
    sf::VertexArray& vertices = handle(state);
    const char* name = lua_tostring(state, lua_gettop(state));
    if (name) {
        static const struct {
            const char* name;
            sf::PrimitiveType type;
        } types[] = {{"Quad", sf::Quads},
                     {"Line", sf::Lines},
                     {"LineStrip", sf::LineStrip},
                     {"Triangle", sf::Triangles},
                     {"TriangleFan", sf::TriangleFan},
                     {"TriangleStrip", sf::TriangleStrip},
                     {"Point", sf::Points}};
        for (const auto& entry : types)
            if (std::strcmp(entry.name, name) == 0)
                vertices.setPrimitiveType(entry.type);
    }
    lua_pushvalue(state, lua_gettop(state));
    return 1;
}

// Writes the rectangle's corners into one field (position or texture pixels) of quad q. The
// rectangle is read before the quad is checked: reading a field can run the script's own code,
// which may resize the array.
int setQuadCorners(lua_State* state, sf::Vector2f sf::Vertex::*field) {
    sf::VertexArray& vertices = handle(state);
    const Corners corners = readRect(state, 3);
    const std::size_t first = quadStart(state, vertices, 2);
    vertices[first].*field = corners.topLeft;
    vertices[first + 1].*field = corners.topRight;
    vertices[first + 2].*field = corners.bottomRight;
    vertices[first + 3].*field = corners.bottomLeft;
    lua_pushvalue(state, 3);
    return 1;
}

// position(handle, q, rect): the four corners of quad q (counted from 1). Returns rect.
int vertexPosition(lua_State* state) {
    return setQuadCorners(state, &sf::Vertex::position);
}

// texture(handle, q, rect): the same corners as texture pixels of quad q. Returns rect.
int vertexTexture(lua_State* state) {
    return setQuadCorners(state, &sf::Vertex::texCoords);
}

// recolor(handle, first, count, {r, g, b}): vertices first .. first+count-1 (counted from 0)
// become opaque in that colour; each component keeps its low 8 bits. Returns count.
int vertexRecolor(lua_State* state) {
    sf::VertexArray& vertices = handle(state);
    const long long first = roundedInteger(state, 2);
    const long long count = roundedInteger(state, 3);
    if (!lua_istable(state, 4))
        luaL_error(state, "argument 4 must be a colour table");
    if (first < 0 || count < 0 ||
        static_cast<unsigned long long>(first + count) > vertices.getVertexCount())
        luaL_error(state, "vertices %d to %d are outside the %d vertices", static_cast<int>(first),
                   static_cast<int>(first + count - 1),
                   static_cast<int>(vertices.getVertexCount()));
    sf::Uint8 components[3];
    for (int i = 0; i < 3; ++i) {
        lua_rawgeti(state, 4, i + 1);
        components[i] = static_cast<sf::Uint8>(roundedInteger(state, lua_gettop(state)) & 0xff);
        lua_pop(state, 1);
    }
    const sf::Color colour(components[0], components[1], components[2], 255);
    for (long long i = first; i < first + count; ++i)
        vertices[static_cast<std::size_t>(i)].color = colour;
    lua_pushinteger(state, static_cast<lua_Integer>(count));
    return 1;
}

// Globals are read raw: a metatable the script put on its globals could otherwise raise an error
// here, outside protected mode.
void pushGlobal(lua_State* state, const char* name) {
    lua_rawgeti(state, LUA_REGISTRYINDEX, LUA_RIDX_GLOBALS);
    lua_pushstring(state, name);
    lua_rawget(state, -2);
    lua_remove(state, -2);
}

} // namespace

void GameHUD::registerVertexFunctions(lua_State* state, sf::VertexArray& vertexArray) {
    static const luaL_Reg functions[] = {{"resize", vertexResize},     {"setType", vertexSetType},
                                         {"position", vertexPosition}, {"texture", vertexTexture},
                                         {"recolor", vertexRecolor},   {nullptr, nullptr}};
    lua_createtable(state, 0, 5);
    lua_pushlightuserdata(state, &vertexArray);
    luaL_setfuncs(state, functions, 1);
    lua_setglobal(state, "vertex");
    lua_pushlightuserdata(state, &vertexArray);
    lua_setglobal(state, "PlayerHUD");
}

GameHUD::GameHUD() : vertices(sf::Points) {
    banner.setTexture(textureHolder->get(Textures::HUDBanner));
    const sf::FloatRect area = bannerArea(windowSize);
    const sf::FloatRect local = banner.getLocalBounds();
    if (local.width > 0.f && local.height > 0.f)
        banner.setScale(area.width / local.width, area.height / local.height);
    banner.setPosition(area.left, area.top);

    if (script.isValid()) {
        registerVertexFunctions(script, vertices);
        // A chunk that fails half-way may still have defined init and update; one that did not
        // load, or had to be stopped, has nothing worth calling.
        if (!script.runFile(ScriptFile, LUA_MULTRET))
            fail(script.error(), script.failedToLoad() || script.wasStopped());
        lua_settop(script, 0);
    }
    vertices.setPrimitiveType(sf::Quads);
    elementTexture.loadFromFile(ElementsFile);
    callInit();
}

GameHUD::~GameHUD() = default;

sf::FloatRect GameHUD::bannerArea(sf::Vector2u window) {
    const float width = static_cast<float>(window.x);
    const float height = static_cast<float>(window.y);
    return {0.f, 0.8f * height, width, 0.2f * height};
}

void GameHUD::setPlayer(const Player* value) {
    player = value;
}

void GameHUD::report(const std::string& problem) {
    if (reported.insert(problem).second)
        std::cerr << ScriptFile << ": " << problem << '\n';
}

void GameHUD::fail(const std::string& problem, bool broken) {
    report(problem);
    ++failures;
    if (!broken && failures >= MaxFailures) {
        report("it failed " + std::to_string(failures) + " times and is no longer called");
        broken = true;
    }
    scriptDisabled = scriptDisabled || broken;
}

void GameHUD::callInit() {
    if (!script.isValid() || scriptDisabled)
        return;
    pushGlobal(script, "init");
    if (!lua_isfunction(script, -1)) {
        lua_settop(script, 0);
        report("the script defines no function 'init'");
        return;
    }
    // The banner's rectangle as the script sees it: window pixels, as the HUD layer is drawn.
    const sf::FloatRect bounds = banner.getGlobalBounds();
    lua_createtable(script, 0, 4);
    lua_pushnumber(script, banner.getPosition().x);
    lua_setfield(script, -2, "left");
    lua_pushnumber(script, banner.getPosition().y);
    lua_setfield(script, -2, "top");
    lua_pushnumber(script, bounds.width);
    lua_setfield(script, -2, "width");
    lua_pushnumber(script, bounds.height);
    lua_setfield(script, -2, "height");
    if (!script.call(1, 0))
        fail("init failed: " + script.error(), script.wasStopped());
    lua_settop(script, 0);
}

void GameHUD::updateCurrent(sf::Time) {
    if (!player || !script.isValid() || scriptDisabled)
        return;
    pushGlobal(script, "update");
    if (!lua_isfunction(script, -1)) {
        lua_settop(script, 0);
        report("the script defines no function 'update'");
        return;
    }
    lua_pushnumber(script, player->getLives());
    const auto& colours = player->getColours();
    lua_createtable(script, 0, 4);
    const char* names[] = {"Red", "Yellow", "Green", "Blue"};
    for (int i = 0; i < 4; ++i) {
        lua_pushnumber(script, colours[static_cast<std::size_t>(i)]);
        lua_setfield(script, -2, names[i]);
    }
    // A script that had to be stopped would cost its whole budget again every frame.
    if (!script.call(2, 0))
        fail("update failed: " + script.error(), script.wasStopped());
    lua_settop(script, 0);
}

void GameHUD::drawCurrent(sf::RenderTarget& target, sf::RenderStates states) const {
    sf::RenderStates bannerStates = states;
    if (bannerOpaque)
        bannerStates.blendMode = sf::BlendNone;
    if (bannerOpaque && bannerProgram)
        bannerProgram->draw(target, banner, bannerStates);
    else
        target.draw(banner, bannerStates);
    sf::RenderStates elementStates = states;
    elementStates.texture = &elementTexture;
    target.draw(vertices, elementStates);
}

std::uint32_t GameHUD::getCategory() const {
    return Category::HUD;
}

void GameHUD::getBoundingRect(std::vector<sf::FloatRect>& out) const {
    out.clear();
    out.push_back(getWorldTransform().transformRect(banner.getGlobalBounds()));
}
