// The pictures the build renders into data/Images, and the two scripts that cut them up: sizes
// and rectangles the game relies on, checked against the files a player would get.

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/VertexArray.hpp>
#include <gtest/gtest.h>
#include <lua.hpp>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

const std::string dataDir = QUELLIX_DATA_DIR;

sf::Image loadPicture(const std::string& name) {
    sf::Image image;
    EXPECT_TRUE(image.loadFromFile(dataDir + "/Images/" + name)) << "cannot load Images/" << name;
    return image;
}

bool anyOpaque(const sf::Image& image, const sf::IntRect& area) {
    for (int y = area.top; y < area.top + area.height; ++y)
        for (int x = area.left; x < area.left + area.width; ++x)
            if (image.getPixel(x, y).a == 255)
                return true;
    return false;
}

bool inside(const sf::IntRect& rect, const sf::Image& image) {
    const auto size = image.getSize();
    return rect.left >= 0 && rect.top >= 0 && rect.width > 0 && rect.height > 0 &&
           rect.left + rect.width <= static_cast<int>(size.x) &&
           rect.top + rect.height <= static_cast<int>(size.y);
}

using LuaState = std::unique_ptr<lua_State, decltype(&lua_close)>;

LuaState newLua() {
    LuaState lua(luaL_newstate(), &lua_close);
    luaL_openlibs(lua.get());
    return lua;
}

// Loads and runs a script of data/Scripts; on failure the Lua message names the file and line.
bool runScript(lua_State* lua, const std::string& name, int results) {
    const std::string path = dataDir + "/Scripts/" + name;
    if (luaL_loadfile(lua, path.c_str()) != LUA_OK || lua_pcall(lua, 0, results, 0) != LUA_OK) {
        ADD_FAILURE() << name << ": " << lua_tostring(lua, -1);
        return false;
    }
    return true;
}

int intField(lua_State* lua, int table, const char* key) {
    lua_getfield(lua, table, key);
    const int value = static_cast<int>(std::nearbyint(lua_tonumber(lua, -1)));
    lua_pop(lua, 1);
    return value;
}

TEST(Images, EveryPictureTheGameLoadsIsThere) {
    for (const char* name :
         {"Platform.png", "Tank.png", "TankExplosion.png", "TitleScreen.png", "MenuScreen.png",
          "HUDBanner.png", "NormalButton.png", "SelectedButton.png", "ActiveButton.png",
          "Drone_Basic.png", "LoadingScreen.png", "PowerUps.png", "Vanish.png", "Icon.png",
          "HUDElements.png", "Objects.png"}) {
        const sf::Image image = loadPicture(name);
        EXPECT_GT(image.getSize().x, 0u) << name;
        EXPECT_GT(image.getSize().y, 0u) << name;
    }
}

TEST(Images, SpriteSheetsHoldTheRectanglesTheGameCuts) {
    const std::map<std::string, sf::Vector2u> least = {{"Tank.png", {55, 76}},
                                                       {"TankExplosion.png", {65, 65}},
                                                       {"Drone_Basic.png", {100, 70}},
                                                       {"Vanish.png", {640, 128}},
                                                       {"Objects.png", {640, 36}}};
    for (const auto& [name, size] : least) {
        const sf::Image image = loadPicture(name);
        EXPECT_GE(image.getSize().x, size.x) << name;
        EXPECT_GE(image.getSize().y, size.y) << name;
    }
}

TEST(Images, EveryFrameAndTileHasSomethingToShow) {
    const sf::Image wolf = loadPicture("Drone_Basic.png");
    EXPECT_TRUE(anyOpaque(wolf, {0, 0, 50, 70})) << "walking wolf";
    EXPECT_TRUE(anyOpaque(wolf, {50, 0, 50, 70})) << "stunned wolf";
    const sf::Image vanish = loadPicture("Vanish.png");
    for (int frame = 0; frame < 5; ++frame) {
        bool visible = false;
        for (int y = 0; y < 128 && !visible; ++y)
            for (int x = frame * 128; x < frame * 128 + 128 && !visible; ++x)
                visible = vanish.getPixel(x, y).a > 0;
        EXPECT_TRUE(visible) << "vanishing frame " << frame;
    }
    // An empty tile picture would make an invisible block the tank still stands on.
    const sf::Image tiles = loadPicture("Objects.png");
    for (int tile = 1; tile <= 10; ++tile)
        EXPECT_EQ(tiles.getPixel((tile - 1) * 64 + 32, 18).a, 255) << "tile " << tile;
}

TEST(Images, ActorsStandOnTheBottomEdgeOfTheirPictures) {
    // The game places an actor so that its picture's bottom edge rests on the block below.
    const sf::Image tank = loadPicture("Tank.png");
    EXPECT_TRUE(anyOpaque(tank, {0, 75, 55, 1})) << "the tank floats above its blocks";
    const sf::Image wolf = loadPicture("Drone_Basic.png");
    EXPECT_TRUE(anyOpaque(wolf, {0, 69, 50, 1})) << "the walking wolf floats";
    EXPECT_TRUE(anyOpaque(wolf, {50, 69, 50, 1})) << "the stunned wolf floats";
}

// Play shows the world's pictures 1.25 times taller than they are (the camera's stretch), so what
// must look round there is drawn 0.8 times as tall as wide: the tank's drive wheel, the coin, the
// vanishing flash.
TEST(Images, RoundThingsOfTheWorldAreRoundOnScreen) {
    const float stretch = 1.25f;
    const auto looksRound = [&](float width, float height) {
        const float onScreen = height * stretch / width;
        return onScreen > 0.85f && onScreen < 1.15f;
    };
    // The drive wheel's centre, and how far its steel reaches from there before the dark of its
    // rim: to the right along its row, and down its column.
    const sf::Image tank = loadPicture("Tank.png");
    const auto dark = [&](unsigned x, unsigned y) {
        const sf::Color c = tank.getPixel(x, y);
        return c.r + c.g + c.b < 180;
    };
    const unsigned cx = 11, cy = 66;
    unsigned right = 3, down = 3;
    while (cx + right < 30 && !dark(cx + right, cy))
        ++right;
    while (cy + down < 76 && !dark(cx, cy + down))
        ++down;
    EXPECT_TRUE(looksRound(2.f * right, 2.f * down)) << right << " across, " << down << " down";

    // What shows of a whole picture: its opaque pixels, or any for the fading flash.
    const auto extent = [](const sf::Image& image, const sf::IntRect& area, int alpha) {
        int left = area.left + area.width, top = area.top + area.height, right = -1, bottom = -1;
        for (int y = area.top; y < area.top + area.height; ++y)
            for (int x = area.left; x < area.left + area.width; ++x)
                if (image.getPixel(x, y).a > alpha) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
        return sf::Vector2f(static_cast<float>(right - left + 1),
                            static_cast<float>(bottom - top + 1));
    };
    const sf::Vector2f coin = extent(loadPicture("PowerUps.png"), {32, 0, 32, 32}, 128);
    EXPECT_TRUE(looksRound(coin.x, coin.y)) << coin.x << " x " << coin.y;
    const sf::Vector2f flash = extent(loadPicture("Vanish.png"), {0, 0, 128, 128}, 0);
    EXPECT_TRUE(looksRound(flash.x, flash.y)) << flash.x << " x " << flash.y;
}

TEST(Images, TheThreeButtonLooksShareOneSize) {
    const sf::Vector2u normal = loadPicture("NormalButton.png").getSize();
    EXPECT_EQ(loadPicture("ActiveButton.png").getSize(), normal);
    EXPECT_EQ(loadPicture("SelectedButton.png").getSize(), normal);
    // The user page lists names 50 pixels apart; taller buttons would overlap.
    EXPECT_LE(normal.y, 50u);
}

TEST(Images, IconIs32By32WithATransparentSurround) {
    const sf::Image icon = loadPicture("Icon.png");
    ASSERT_EQ(icon.getSize(), sf::Vector2u(32, 32));
    int transparent = 0;
    int opaque = 0;
    for (unsigned y = 0; y < 32; ++y)
        for (unsigned x = 0; x < 32; ++x) {
            const auto alpha = icon.getPixel(x, y).a;
            transparent += alpha == 0;
            opaque += alpha == 255;
        }
    EXPECT_GT(transparent, 0);
    EXPECT_GT(opaque, 0);
    EXPECT_EQ(icon.getPixel(0, 0).a, 0) << "corner";
    EXPECT_EQ(icon.getPixel(16, 16).a, 255) << "centre";
}

TEST(PowerUpsScript, EachKindCutsItsOwnPictureOutOfPowerUps) {
    const sf::Image sheet = loadPicture("PowerUps.png");
    LuaState lua = newLua();
    ASSERT_TRUE(runScript(lua.get(), "PowerUps.lua", 1));
    ASSERT_TRUE(lua_istable(lua.get(), -1)) << "PowerUps.lua returns no table";
    std::vector<sf::IntRect> pictures;
    for (int key = 1; key <= 4; ++key) {
        lua_rawgeti(lua.get(), -1, key);
        ASSERT_TRUE(lua_istable(lua.get(), -1)) << "no entry for kind " << key - 1;
        const int entry = lua_gettop(lua.get());
        const sf::IntRect rect(
            intField(lua.get(), entry, "left"), intField(lua.get(), entry, "top"),
            intField(lua.get(), entry, "width"), intField(lua.get(), entry, "height"));
        lua_pop(lua.get(), 1);
        EXPECT_TRUE(inside(rect, sheet)) << "kind " << key - 1 << " lies outside PowerUps.png";
        if (inside(rect, sheet)) {
            EXPECT_TRUE(anyOpaque(sheet, rect)) << "kind " << key - 1 << " shows nothing";
        }
        for (const sf::IntRect& other : pictures)
            EXPECT_FALSE(rect.intersects(other)) << "kind " << key - 1 << " overlaps another";
        pictures.push_back(rect);
    }
}

// The HUD's script interface, as the game offers it: the vertex functions edit one vertex array
// reached through the PlayerHUD handle; numbers are rounded to integers, halves to even.
int toInt(lua_State* lua, int index) {
    return static_cast<int>(std::nearbyint(lua_tonumber(lua, index)));
}

sf::VertexArray& handle(lua_State* lua) {
    return *static_cast<sf::VertexArray*>(lua_touserdata(lua, 1));
}

int hudResize(lua_State* lua) {
    handle(lua).resize(static_cast<std::size_t>(toInt(lua, 2)));
    return 0;
}

int hudSetType(lua_State* lua) {
    lua_pushvalue(lua, -1);
    return 1;
}

void setCorners(lua_State* lua, bool texture) {
    sf::VertexArray& vertices = handle(lua);
    const std::size_t first = 4 * static_cast<std::size_t>(toInt(lua, 2) - 1);
    const int left = intField(lua, 3, "left");
    const int top = intField(lua, 3, "top");
    const int right = left + intField(lua, 3, "width");
    const int bottom = top + intField(lua, 3, "height");
    const sf::Vector2f corners[4] = {{float(left), float(top)},
                                     {float(right), float(top)},
                                     {float(right), float(bottom)},
                                     {float(left), float(bottom)}};
    for (std::size_t i = 0; i < 4; ++i) {
        sf::Vertex& vertex = vertices[first + i];
        (texture ? vertex.texCoords : vertex.position) = corners[i];
    }
    lua_pushvalue(lua, 3);
}

int hudPosition(lua_State* lua) {
    setCorners(lua, false);
    return 1;
}

int hudTexture(lua_State* lua) {
    setCorners(lua, true);
    return 1;
}

int hudRecolor(lua_State* lua) {
    sf::VertexArray& vertices = handle(lua);
    const int first = toInt(lua, 2);
    const int count = toInt(lua, 3);
    sf::Uint8 rgb[3];
    for (int i = 0; i < 3; ++i) {
        lua_rawgeti(lua, 4, i + 1);
        rgb[i] = static_cast<sf::Uint8>(toInt(lua, -1) & 0xff);
        lua_pop(lua, 1);
    }
    for (int i = first; i < first + count; ++i)
        vertices[static_cast<std::size_t>(i)].color = sf::Color(rgb[0], rgb[1], rgb[2]);
    lua_pushinteger(lua, count);
    return 1;
}

struct Quad {
    sf::FloatRect position;
    sf::IntRect texture;
    sf::Color colour;
};

// Runs HUDElements.lua on a banner and records the quads it lays out.
class HUDScript : public ::testing::Test {
protected:
    void SetUp() override {
        lua_State* L = lua.get();
        lua_createtable(L, 0, 5);
        const std::pair<const char*, lua_CFunction> functions[] = {{"resize", hudResize},
                                                                   {"setType", hudSetType},
                                                                   {"position", hudPosition},
                                                                   {"texture", hudTexture},
                                                                   {"recolor", hudRecolor}};
        for (const auto& [name, function] : functions) {
            lua_pushcfunction(L, function);
            lua_setfield(L, -2, name);
        }
        lua_setglobal(L, "vertex");
        lua_pushlightuserdata(L, &vertices);
        lua_setglobal(L, "PlayerHUD");
        ASSERT_TRUE(runScript(L, "HUDElements.lua", 0));
    }

    void init(const sf::FloatRect& rect) {
        banner = rect;
        lua_State* L = lua.get();
        lua_getglobal(L, "init");
        lua_createtable(L, 0, 4);
        const std::pair<const char*, float> fields[] = {
            {"left", rect.left}, {"top", rect.top}, {"width", rect.width}, {"height", rect.height}};
        for (const auto& [name, value] : fields) {
            lua_pushnumber(L, value);
            lua_setfield(L, -2, name);
        }
        ASSERT_EQ(lua_pcall(L, 1, 0, 0), LUA_OK) << lua_tostring(L, -1);
    }

    void update(int lives, int red, int yellow, int green, int blue) {
        lua_State* L = lua.get();
        lua_getglobal(L, "update");
        lua_pushnumber(L, lives);
        lua_createtable(L, 0, 4);
        const std::pair<const char*, int> counts[] = {
            {"Red", red}, {"Yellow", yellow}, {"Green", green}, {"Blue", blue}};
        for (const auto& [name, value] : counts) {
            lua_pushnumber(L, value);
            lua_setfield(L, -2, name);
        }
        ASSERT_EQ(lua_pcall(L, 2, 0, 0), LUA_OK) << lua_tostring(L, -1);
    }

    // The quads with an area, grouped by the fifth of the banner they lie in, each group read
    // left to right: icon, times sign, digits.
    std::vector<std::vector<Quad>> visibleByFifth() const {
        std::vector<std::vector<Quad>> fifths(5);
        for (std::size_t i = 0; i + 3 < vertices.getVertexCount(); i += 4) {
            const sf::FloatRect position(vertices[i].position,
                                         vertices[i + 2].position - vertices[i].position);
            if (position.width <= 0 || position.height <= 0)
                continue;
            const sf::Vector2f uv = vertices[i].texCoords;
            const sf::Vector2f uvSize = vertices[i + 2].texCoords - uv;
            const Quad quad{position,
                            sf::IntRect(int(uv.x), int(uv.y), int(uvSize.x), int(uvSize.y)),
                            vertices[i].color};
            const float fifth = banner.width / 5;
            const int k = int((position.left - banner.left) / fifth);
            const bool fits =
                k >= 0 && k < 5 && position.left + position.width <= banner.left + (k + 1) * fifth;
            EXPECT_TRUE(fits) << "a quad at x " << position.left << " spans two groups' windows";
            if (fits)
                fifths[static_cast<std::size_t>(k)].push_back(quad);
        }
        for (auto& group : fifths)
            std::sort(group.begin(), group.end(), [](const Quad& a, const Quad& b) {
                return a.position.left < b.position.left;
            });
        return fifths;
    }

    LuaState lua = newLua();
    sf::VertexArray vertices;
    sf::FloatRect banner;
};

TEST_F(HUDScript, ShowsEachNumberWithAsManyDigitsAsItHas) {
    init({0, 576, 1280, 144}); // a 1280 x 720 window
    update(25, 12, 0, 7, 105);
    const auto fifths = visibleByFifth();
    // icon and times sign, then the digits: 25 | 12 | 0 | 7 | 105
    const std::size_t expected[5] = {4, 4, 3, 3, 5};
    for (std::size_t k = 0; k < 5; ++k)
        EXPECT_EQ(fifths[k].size(), expected[k]) << "group " << k;
}

TEST_F(HUDScript, EverythingStaysOnTheBannerAndShowsPartOfTheElementPicture) {
    const sf::Image elements = loadPicture("HUDElements.png");
    for (const sf::FloatRect& rect :
         {sf::FloatRect(0, 576, 1280, 144), sf::FloatRect(0, 864, 1920, 216),
          sf::FloatRect(0, 614.4f, 1024, 153.6f)}) {
        init(rect);
        update(25, 999, 10, 0, 105);
        for (const auto& group : visibleByFifth())
            for (const Quad& quad : group) {
                EXPECT_GE(quad.position.top, rect.top);
                EXPECT_LE(quad.position.top + quad.position.height, rect.top + rect.height);
                ASSERT_TRUE(inside(quad.texture, elements))
                    << "texture rectangle at " << quad.texture.left << "," << quad.texture.top;
                EXPECT_TRUE(anyOpaque(elements, quad.texture))
                    << "empty picture at " << quad.texture.left << "," << quad.texture.top;
            }
    }
}

TEST_F(HUDScript, EqualDigitsShowTheSamePictureAndDifferentOnesDoNot) {
    init({0, 864, 1920, 216});
    update(22, 17, 0, 0, 0);
    const auto fifths = visibleByFifth();
    ASSERT_EQ(fifths[0].size(), 4u);
    ASSERT_EQ(fifths[1].size(), 4u);
    const auto& lives = fifths[0];
    const auto& red = fifths[1];
    EXPECT_EQ(lives[2].texture, lives[3].texture);
    EXPECT_NE(red[2].texture, red[3].texture);
    EXPECT_EQ(lives[2].position.height, lives[3].position.height);
}

TEST_F(HUDScript, NumbersFollowTheGame) {
    init({0, 864, 1920, 216});
    update(25, 3, 3, 3, 3);
    update(7, 12, 3, 3, 0);
    const auto fifths = visibleByFifth();
    EXPECT_EQ(fifths[0].size(), 3u) << "25 tanks became 7";
    EXPECT_EQ(fifths[1].size(), 4u) << "3 red became 12";
    // The blue counter ran out: its group is drawn dimmer than the yellow one that did not.
    ASSERT_FALSE(fifths[4].empty());
    ASSERT_FALSE(fifths[2].empty());
    EXPECT_LT(fifths[4][0].colour.r, fifths[2][0].colour.r);
}

TEST_F(HUDScript, ScalesWithTheBannerHeight) {
    init({0, 576, 1280, 144});
    update(25, 0, 0, 0, 0);
    const float small = visibleByFifth()[0][0].position.height;
    init({0, 864, 1920, 216});
    update(25, 0, 0, 0, 0);
    const float large = visibleByFifth()[0][0].position.height;
    EXPECT_NEAR(large / small, 1.5f, 0.02f);
}

} // namespace
