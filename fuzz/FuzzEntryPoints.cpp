#include "FuzzEntryPoints.hpp"

#include "actors/Entity.hpp"
#include "core/CommandQueue.hpp"
#include "core/LuaState.hpp"
#include "hud/GameHUD.hpp"
#include "screens/UserFiles.hpp"
#include "screens/UserProfile.hpp"
#include "world/Block.hpp"
#include "world/Platform.hpp"
#include "world/WorldGlobals.hpp"

#include <SFML/Graphics/VertexArray.hpp>
#include <SFML/System/Err.hpp>
#include <SFML/Window/Context.hpp>

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <regex>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;

namespace fuzz {
namespace {

// ---- Shared helpers -------------------------------------------------------------------------

// A folder of this process's own below the system's temporary folder, removed at exit. Inputs are
// written into it one after the other; the game reads them from there.
const fs::path& scratch() {
    struct Folder {
        Folder() {
            const std::string prefix = "quellix-fuzz-";
            // A crashed run leaves its folder behind; the next one clears those of dead processes.
            std::error_code ignored;
            for (const auto& entry : fs::directory_iterator(fs::temp_directory_path(), ignored)) {
                const std::string name = entry.path().filename().string();
                if (name.rfind(prefix, 0) == 0 &&
                    !fs::exists("/proc/" + name.substr(prefix.size()), ignored))
                    fs::remove_all(entry.path(), ignored);
            }
            path = fs::temp_directory_path() / (prefix + std::to_string(getpid()));
            fs::remove_all(path, ignored);
            fs::create_directories(path);
        }
        ~Folder() {
            std::error_code ignored;
            fs::remove_all(path, ignored);
        }
        fs::path path;
    };
    static const Folder folder;
    return folder.path;
}

class WorkingFolder {
public:
    explicit WorkingFolder(const fs::path& folder) : previous(fs::current_path()) {
        fs::current_path(folder);
    }
    ~WorkingFolder() { fs::current_path(previous); }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

private:
    fs::path previous;
};

// Catches what the code under test writes to a console stream.
class Capture {
public:
    explicit Capture(std::ostream& stream) : stream(stream), previous(stream.rdbuf(text.rdbuf())) {}
    ~Capture() { stream.rdbuf(previous); }
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;
    std::string str() const { return text.str(); }

private:
    std::ostringstream text;
    std::ostream& stream;
    std::streambuf* previous;
};

void writeBytes(const fs::path& file, const std::string& content) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << content;
}

std::string readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void drainCommands() {
    while (!commandQueue().isEmpty())
        commandQueue().pop();
}

bool near(float actual, float expected) {
    // Positions far down a tall map are large floats; a bump moves them by 2 and back.
    return std::abs(actual - expected) <= std::max(1e-3f, std::abs(expected) * 1e-5f);
}

// ---- Level map ------------------------------------------------------------------------------

const unsigned WindowWidth = 1280;
const float TileWidth = 42.f;      // 1280 / 30
const float TileHeight = 23.625f;  // 36 x 42 / 64
const std::size_t SmallMap = 4000; // blocks; larger maps get a lighter work-out

// A tank-sized actor with the tank's category, so that blocks it bumps from below start to hop.
class Probe : public Entity {
public:
    Probe() {
        setSize({40.f, 60.f});
        setCategory(Category::Tank);
        setCollidable(true);
    }
    void getBoundingRect(std::vector<sf::FloatRect>& out) const override {
        const sf::Vector2f p = getPosition();
        out = {{p.x, p.y, 40.f, 60.f},
               {p.x + 10.f, p.y + 50.f, 20.f, 10.f},
               {p.x + 10.f, p.y, 20.f, 10.f},
               {p.x, p.y + 10.f, 20.f, 40.f},
               {p.x + 20.f, p.y + 10.f, 20.f, 40.f}};
    }
};

std::string checkEmptyMap(const Platform& platform, const std::string& errors) {
    if (errors.find("Levels/Level1.lua") == std::string::npos)
        return "a refused level file is not named on std::cerr: '" + errors + "'";
    if (platform.getGridSize() != sf::Vector2f() || platform.getMapSize() != sf::Vector2f() ||
        !platform.getSolidCells().empty() || !platform.getMarkedCells().empty() ||
        platform.getVertices().getVertexCount() != 0 || platform.getBlock(0))
        return "a refused level left a map behind";
    return {};
}

std::string checkLayout(const Platform& platform) {
    if (platform.getTileSize() != sf::Vector2f(TileWidth, TileHeight))
        return "the tiles are not 42 x 23.625 in a 1280-pixel window";
    const sf::Vector2f grid = platform.getGridSize();
    const double cells = static_cast<double>(grid.x) * grid.y;
    if (!(grid.x >= 1.f && grid.y >= 1.f && cells <= 1e6 && grid.x == std::floor(grid.x) &&
          grid.y == std::floor(grid.y)))
        return "a loaded map has an impossible size";
    if (platform.getMapSize() != sf::Vector2f(grid.x * TileWidth, grid.y * TileHeight))
        return "the map's pixel size does not match its cells";
    const int width = static_cast<int>(grid.x);
    const int count = static_cast<int>(cells);
    if (platform.getBlock(-1) || platform.getBlock(count))
        return "a cell outside the map holds a block";

    const std::vector<int>& solid = platform.getSolidCells();
    const sf::VertexArray& vertices = platform.getVertices();
    if (vertices.getVertexCount() != 4 * solid.size() || vertices.getPrimitiveType() != sf::Quads)
        return "the quad array does not hold four vertices per block";
    std::size_t blocks = 0;
    for (int cell = 0; cell < count; ++cell)
        blocks += platform.getBlock(cell) != nullptr;
    if (blocks != solid.size())
        return "the solid cells and the cells holding blocks differ";
    for (std::size_t k = 0; k < solid.size(); ++k) {
        const int cell = solid[k];
        if (cell < 0 || cell >= count || (k > 0 && cell <= solid[k - 1]))
            return "the solid cells are not ascending cells of the map";
        const Block* block = platform.getBlock(cell);
        if (!block || block->getRow() != cell / width || block->getColumn() != cell % width ||
            block->getQuadIndex() != static_cast<int>(k) || block->getQuad() != &vertices[4 * k])
            return "block " + std::to_string(cell) + " is not where its cell is";
        const float x = static_cast<float>(block->getColumn()) * TileWidth;
        const float y = static_cast<float>(block->getRow()) * TileHeight;
        const sf::Vertex* quad = block->getQuad();
        if (!near(quad[0].position.x, x) || !near(quad[0].position.y, y) ||
            !near(quad[2].position.x, x + TileWidth) || !near(quad[2].position.y, y + TileHeight))
            return "the quad of block " + std::to_string(cell) + " does not cover its cell";
    }
    const std::vector<int>& marked = platform.getMarkedCells();
    for (std::size_t k = 0; k < marked.size(); ++k)
        if (marked[k] < 0 || marked[k] >= count || (k > 0 && marked[k] <= marked[k - 1]))
            return "the marked cells are not ascending cells of the map";
    return {};
}

// Touches a block from above, from below and from each side, falling and rising.
void touch(Platform& platform, const Block& block) {
    const float x = static_cast<float>(block.getColumn()) * TileWidth;
    const float y = static_cast<float>(block.getRow()) * TileHeight;
    const sf::Vector2f places[] = {{x + 1.f, y - 55.f},
                                   {x + 1.f, y + TileHeight - 5.f},
                                   {x - 25.f, y - 20.f},
                                   {x + TileWidth - 15.f, y - 20.f},
                                   {x - 1.f, y - 30.f}};
    std::set<SceneNode::Pair> pairs;
    for (const sf::Vector2f place : places) {
        for (const float vy : {300.f, -300.f}) {
            Probe probe;
            probe.setPosition(place);
            probe.setVelocity(50.f, vy);
            platform.checkNodeCollision(probe, pairs);
        }
    }
}

std::string playWith(Platform& platform) {
    const std::vector<int> solid = platform.getSolidCells();
    const bool small = solid.size() <= SmallMap;
    const std::size_t touched = small ? solid.size() : 64;
    for (std::size_t k = 0; k < touched; ++k)
        touch(platform, *platform.getBlock(solid[k]));
    // Far outside the map on every side: nothing may be reached through a wrong cell index.
    std::set<SceneNode::Pair> pairs;
    for (const sf::Vector2f place : {sf::Vector2f(-1e9f, -1e9f), sf::Vector2f(1e9f, 1e9f),
                                     sf::Vector2f(-80.f, 10.f), sf::Vector2f(1e30f, -5.f)}) {
        Probe probe;
        probe.setPosition(place);
        platform.checkNodeCollision(probe, pairs);
    }
    // The map's own commands reach it; those for other nodes are dropped, as no node is there.
    while (!commandQueue().isEmpty())
        platform.onCommand(commandQueue().pop(), sf::Time::Zero);

    // Each hop takes ten updates and may start one in the row above, five updates later.
    const int rows = static_cast<int>(platform.getGridSize().y);
    const int updates = small ? 10 * rows + 30 : 30;
    for (int i = 0; i < updates; ++i)
        platform.update(sf::Time::Zero);
    drainCommands();
    if (small) {
        for (const int cell : solid) {
            const Block& block = *platform.getBlock(cell);
            const float y = static_cast<float>(block.getRow()) * TileHeight;
            if (block.isBumping() || platform.getBumpStep(&block) != -1)
                return "block " + std::to_string(cell) + " is still hopping after " +
                       std::to_string(updates) + " updates";
            if (!near(block.getQuad()[0].position.y, y) ||
                !near(block.getQuad()[3].position.y, y + TileHeight))
                return "block " + std::to_string(cell) + " did not come back to its place";
        }
    }

    // One more call than there are marked cells: by then every marked cell left holds an item.
    const std::size_t marked = platform.getMarkedCells().size();
    if (marked > 64)
        return {};
    for (std::size_t i = 0; i <= marked; ++i) {
        const std::size_t before = platform.getMarkedCells().size();
        platform.generateKey();
        if (platform.getMarkedCells().size() > before)
            return "hiding a key added marked cells";
    }
    for (const int cell : platform.getMarkedCells()) {
        const Block* block = platform.getBlock(cell);
        if (!block || block->getItem() < 0)
            return "marked cell " + std::to_string(cell) + " was left without the key";
    }
    return {};
}

// ---- User files -----------------------------------------------------------------------------

const std::string Separator = "\n--\n";

std::vector<std::string> sections(const std::string& input, std::size_t count) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (parts.size() + 1 < count) {
        const std::size_t end = input.find(Separator, start);
        if (end == std::string::npos)
            break;
        parts.push_back(input.substr(start, end - start));
        start = end + Separator.size();
    }
    parts.push_back(input.substr(std::min(start, input.size())));
    parts.resize(count);
    return parts;
}

bool hasForbiddenCharacter(const std::string& name) {
    return name.find_first_of(std::string("/\\\n\r\0", 5)) != std::string::npos;
}

std::string checkProfile(const std::string& content) {
    const fs::path file = scratch() / "profile.bin";
    writeBytes(file, content);
    UserProfile profile;
    profile.name = "before";
    profile.setValues('a', 7, 'b', 'c');
    const Capture errors(std::cerr);
    const bool complete = profile.load(file);
    if (profile.name != "before" || profile.loggedIn)
        return "loading a user file changed the name or the logged-in flag";
    if (!complete && errors.str().find(file.string()) == std::string::npos)
        return "an incomplete user file is not named on std::cerr";
    const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    if (blank(profile.value1) || blank(profile.value3) || blank(profile.value4))
        return "a stored character is white space";
    return {};
}

std::string checkUserFolder(const std::string& name, const std::string& list,
                            const std::string& userContent) {
    const fs::path folder = scratch() / "User";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const UserFiles files(folder);
    writeBytes(files.listFile(), list);

    // Every listed name that can have a file gets one (up to a few), with the fuzzed content.
    std::istringstream lines(list);
    int written = 0;
    for (std::string line; written < 8 && std::getline(lines, line); ++written)
        if (UserFiles::isValidName(line) && line.size() < 200)
            writeBytes(files.userFile(line), userContent);

    // Line by line, a CR before a line break belonging to the line end, lines longer than any
    // name left out.
    std::vector<std::string> lineByLine;
    std::istringstream pieces(list);
    for (std::string line; std::getline(pieces, line);) {
        if (!line.empty() && line.back() == '\r' && !pieces.eof())
            line.pop_back();
        if (line.size() <= UserFiles::MaxNameBytes)
            lineByLine.push_back(line);
    }
    std::vector<std::string> names;
    {
        const Capture errors(std::cerr);
        names = files.list();
    }
    if (names != lineByLine)
        return "the user list does not read back line by line";

    // The look-up also offers the empty line after a final line break (or of an empty list).
    std::vector<std::string> candidates = names;
    if (list.empty() || list.back() == '\n')
        candidates.push_back("");
    std::string expected;
    bool found = false;
    for (const std::string& candidate : candidates) {
        if (files.hasUserFile(candidate)) {
            expected = candidate;
            found = true;
            break;
        }
    }
    UserProfile current;
    {
        const Capture errors(std::cerr);
        files.findCurrentUser(current);
    }
    if (current.loggedIn != found || current.name != expected)
        return "the start-up look-up did not pick the first listed player with a file";

    UserProfile registered;
    UserFiles::Registration outcome;
    {
        const Capture errors(std::cerr);
        outcome = files.registerUser(name, registered);
    }
    const std::string listAfter = readBytes(files.listFile());
    if (UserFiles::isValidName(name) &&
        (hasForbiddenCharacter(name) || name == "." || name == ".." || name == "UserData"))
        return "a name that leaves the folder, splits the list or is the list is accepted";
    std::string unusable;
    const bool hasFile = files.hasUserFile(name, unusable);
    if ((outcome == UserFiles::Registration::Unreadable) != (!hasFile && !unusable.empty()))
        return "registering over a file that cannot be read is refused, and nothing else";
    if (outcome == UserFiles::Registration::BadName ||
        outcome == UserFiles::Registration::Unreadable)
        return listAfter == list ? std::string() : "refusing a name changed the user list";
    if (registered.value1 != 5 || registered.value2 != 0 || registered.value3 != 1 ||
        registered.value4 != 1)
        return "a new player does not get the values 5, 0, 1, 1";
    if (outcome == UserFiles::Registration::Registered) {
        if (listAfter != name + "\n" + list)
            return "registering did not put the name first in the list";
        UserProfile next;
        files.findCurrentUser(next);
        if (!next.loggedIn || next.name != name || next.value1 != '5' || next.value2 != 0 ||
            next.value3 != '1' || next.value4 != '1')
            return "the player just registered is not the current one at the next start";
    }
    return {};
}

// ---- HUD vertex functions -------------------------------------------------------------------

// What the fuzzed chunk must not reach: the file system, the process, other code.
const char* const ClosedGlobals[] = {"os", "io", "package", "require", "dofile", "loadfile"};
const char* const VertexFunctions[] = {"resize", "setType", "position", "texture", "recolor"};

// Keeps the registered functions where the chunk cannot replace them, for the checks afterwards.
void keepVertexFunctions(lua_State* lua) {
    lua_getglobal(lua, "vertex");
    for (const char* function : VertexFunctions) {
        lua_getfield(lua, -1, function);
        lua_setfield(lua, LUA_REGISTRYINDEX, (std::string("fuzz.") + function).c_str());
    }
    lua_pop(lua, 1);
}

// Reads globals without metamethods: the chunk may have given the globals table any of them.
void pushGlobal(lua_State* lua, const char* name) {
    lua_rawgeti(lua, LUA_REGISTRYINDEX, LUA_RIDX_GLOBALS);
    lua_pushstring(lua, name);
    lua_rawget(lua, -2);
    lua_remove(lua, -2);
}

void pushRect(lua_State* lua, int left, int top, int width, int height) {
    lua_createtable(lua, 0, 4);
    lua_pushinteger(lua, left);
    lua_setfield(lua, -2, "left");
    lua_pushinteger(lua, top);
    lua_setfield(lua, -2, "top");
    lua_pushinteger(lua, width);
    lua_setfield(lua, -2, "width");
    lua_pushinteger(lua, height);
    lua_setfield(lua, -2, "height");
}

// Calls a kept vertex function; the arguments are pushed by `arguments`. True when it succeeded.
template <typename Push> bool callVertex(LuaState& lua, const char* function, Push arguments) {
    lua_getfield(lua, LUA_REGISTRYINDEX, (std::string("fuzz.") + function).c_str());
    const int count = arguments(lua.get());
    const bool ok = lua.call(count, 0);
    lua_settop(lua, 0);
    return ok;
}

// The script ran; init and update are called as the HUD calls them, with a 1280 x 720 window.
void playHud(LuaState& lua) {
    pushGlobal(lua, "init");
    if (lua_isfunction(lua, -1)) {
        lua_createtable(lua, 0, 4);
        const double banner[] = {0.0, 576.0, 1280.0, 144.0};
        const char* fields[] = {"left", "top", "width", "height"};
        for (int i = 0; i < 4; ++i) {
            lua_pushnumber(lua, banner[i]);
            lua_setfield(lua, -2, fields[i]);
        }
        lua.call(1, 0);
    }
    lua_settop(lua, 0);
    for (int frame = 0; frame < 3; ++frame) {
        pushGlobal(lua, "update");
        if (!lua_isfunction(lua, -1))
            break;
        lua_pushnumber(lua, 25 - frame);
        lua_createtable(lua, 0, 4);
        const char* colours[] = {"Red", "Yellow", "Green", "Blue"};
        for (int i = 0; i < 4; ++i) {
            lua_pushnumber(lua, frame * (i + 1));
            lua_setfield(lua, -2, colours[i]);
        }
        const bool ok = lua.call(2, 0);
        lua_settop(lua, 0);
        if (!ok && lua.wasStopped())
            break;
    }
    lua_settop(lua, 0);
}

// Whatever the chunk did, the functions still work on the array and refuse what they must.
std::string checkVertexFunctions(LuaState& lua, sf::VertexArray& vertices) {
    void* const hud = &vertices;
    int other = 0;
    const auto handle = [hud](lua_State* l) { lua_pushlightuserdata(l, hud); };
    // Emptied first, so that all eight vertices are new ones.
    const bool resized = callVertex(lua, "resize",
                                    [&](lua_State* l) {
                                        handle(l);
                                        lua_pushinteger(l, 0);
                                        return 2;
                                    }) &&
                         callVertex(lua, "resize", [&](lua_State* l) {
                             handle(l);
                             lua_pushnumber(l, 7.5); // rounds to the even 8
                             return 2;
                         });
    if (!resized && lua.wasStopped())
        return {}; // the chunk left no memory to work with
    if (!resized || vertices.getVertexCount() != 8)
        return "resize(PlayerHUD, 7.5) did not give 8 vertices: " + lua.error();
    const bool placed = callVertex(lua, "position", [&](lua_State* l) {
        handle(l);
        lua_pushinteger(l, 2);
        pushRect(l, 1, 2, 3, 4);
        return 3;
    });
    const bool textured = callVertex(lua, "texture", [&](lua_State* l) {
        handle(l);
        lua_pushinteger(l, 1);
        pushRect(l, 10, 20, 30, 40);
        return 3;
    });
    const bool coloured = callVertex(lua, "recolor", [&](lua_State* l) {
        handle(l);
        lua_pushinteger(l, 0);
        lua_pushinteger(l, 8);
        lua_createtable(l, 3, 0);
        const double components[] = {511.0, -1.0, 0.5};
        for (int i = 0; i < 3; ++i) {
            lua_pushnumber(l, components[i]);
            lua_rawseti(l, -2, i + 1);
        }
        return 4;
    });
    const bool typed = callVertex(lua, "setType", [&](lua_State* l) {
        handle(l);
        lua_pushstring(l, "Triangle");
        return 2;
    });
    if (!placed || !textured || !coloured || !typed)
        return "a vertex function refused good arguments: " + lua.error();
    if (vertices[4].position != sf::Vector2f(1, 2) || vertices[6].position != sf::Vector2f(4, 6) ||
        vertices[0].texCoords != sf::Vector2f(10, 20) ||
        vertices[2].texCoords != sf::Vector2f(40, 60) || vertices[0].position != sf::Vector2f() ||
        vertices[7].color != sf::Color(255, 255, 0, 255) ||
        vertices.getPrimitiveType() != sf::Triangles)
        return "the vertex functions wrote the wrong values";

    const bool wrongHandle = callVertex(lua, "resize", [&](lua_State* l) {
        lua_pushlightuserdata(l, &other);
        lua_pushinteger(l, 0);
        return 2;
    });
    const bool outside = callVertex(lua, "position", [&](lua_State* l) {
        handle(l);
        lua_pushinteger(l, 3);
        pushRect(l, 0, 0, 1, 1);
        return 3;
    });
    const bool pastEnd = callVertex(lua, "recolor", [&](lua_State* l) {
        handle(l);
        lua_pushinteger(l, 7);
        lua_pushinteger(l, 2);
        lua_createtable(l, 3, 0);
        return 4;
    });
    if (wrongHandle || outside || pastEnd || vertices.getVertexCount() != 8)
        return "a vertex function accepted a wrong handle or a vertex past the end";
    return {};
}

// Set when a skipped input is to be run after all, to reproduce an open finding.
bool replayingEverything() {
    static const bool everything = std::getenv("QUELLIX_FUZZ_REPLAY") != nullptr;
    return everything;
}

} // namespace

int stopOnProblem(const char* target, const std::string& problem) {
    if (problem.empty())
        return 0;
    std::fprintf(stderr, "%s: %s\n", target, problem.c_str());
    std::abort();
}

bool skipLevelScript(const std::string& script) {
    if (replayingEverything())
        return false;
    // The loader skips a first line starting with '#'; ESC then starts a precompiled chunk.
    std::size_t start = 0;
    if (!script.empty() && script[0] == '#')
        start = std::min(script.find('\n'), script.size() - 1) + 1;
    if (start < script.size() && script[start] == '\x1b')
        return true; // open: precompiled level files
    static const std::regex offLimits(R"(\b(os|io|debug|package|require|dofile|loadfile|load|)"
                                      R"(loadstring|_ENV|_G|coroutine|__gc)\b)");
    return std::regex_search(script, offLimits);
}

bool skipHudScript(const std::string& script) {
    if (replayingEverything())
        return false;
    // The HUD's state has no os, io or package; debug, load and __gc are open findings.
    static const std::regex offLimits(R"(\b(debug|load|loadstring|dump|__gc)\b)");
    return std::regex_search(script, offLimits);
}

std::string loadLevel(const std::uint8_t* data, std::size_t size) {
    const std::string script(reinterpret_cast<const char*>(data), size);
    const fs::path folder = scratch() / "level";
    fs::create_directories(folder / "Levels");
    writeBytes(folder / "Levels/Level1.lua", script);
    // The map's texture needs a graphics context, which holds the X display; one for the whole
    // process, as SFML cannot open the display again and again.
    static const sf::Context display;
    const WorkingFolder cwd(folder);
    const Capture out(std::cout); // the key's "Generated at" lines
    const Capture errors(std::cerr);
    const Capture media(sf::err()); // no Images/Objects.png here, and no need for it
    windowSize = {WindowWidth, 720};
    drainCommands();

    std::string problem;
    {
        Platform platform;
        if (!platform.loadLevel(1))
            problem = checkEmptyMap(platform, errors.str());
        else if ((problem = checkLayout(platform)).empty())
            problem = playWith(platform);
        // Queued commands may point at blocks of this map.
        drainCommands();
    }
    return problem;
}

std::string readUserFiles(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> parts =
        sections(std::string(reinterpret_cast<const char*>(data), size), 3);
    std::string problem = checkProfile(parts[2]);
    if (problem.empty())
        problem = checkUserFolder(parts[0], parts[1], parts[2]);
    return problem;
}

std::string runHudScript(const std::uint8_t* data, std::size_t size) {
    const std::string chunk(reinterpret_cast<const char*>(data), size);
    // The HUD's memory, and a small count: a script is stopped in a few milliseconds, so the
    // fuzzer stays fast.
    LuaState lua(LuaState::DefaultMemoryLimit, 2'000'000);
    if (!lua.isValid())
        return "no Lua interpreter";
    sf::VertexArray vertices(sf::Points);
    GameHUD::registerVertexFunctions(lua, vertices);
    keepVertexFunctions(lua);
    for (const char* global : ClosedGlobals) {
        lua_pushnil(lua);
        lua_setglobal(lua, global);
    }
    const bool ran = lua.runString(chunk, "fuzz input");
    lua_settop(lua, 0);
    vertices.setPrimitiveType(sf::Quads);
    if (ran)
        playHud(lua);
    if (vertices.getVertexCount() > 65536)
        return "the script grew the vertex array past 65536 vertices";
    vertices.getBounds(); // reads every vertex
    return checkVertexFunctions(lua, vertices);
}

} // namespace fuzz
