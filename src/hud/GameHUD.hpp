#pragma once

#include "core/LuaState.hpp"
#include "world/SceneNode.hpp"

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/VertexArray.hpp>

#include <set>
#include <string>

class CopyingProgram;
class Player;

// The heads-up display: a banner over the bottom fifth of the window and, on it, quads laid out by
// "Scripts/HUDElements.lua". The script gets the banner's rectangle once (init) and the player's
// lives and colour counters every frame (update), and edits the quads through the vertex
// functions. A broken script only costs the quads: the banner keeps drawing and the error stream
// names the script and each distinct problem once (long ones cut short). A script that had to be
// stopped, or that failed MaxFailures times, is not called again, so a failing script costs
// neither time nor memory every frame.
class GameHUD : public SceneNode {
public:
    static constexpr const char* ScriptFile = "Scripts/HUDElements.lua";
    static constexpr const char* ElementsFile = "Images/HUDElements.png";

    // Needs the world's texture holder (with HUDBanner, smoothed by whoever loads it where it is
    // stretched) and the window size to be published.
    GameHUD();
    ~GameHUD() override;

    // Must be called before the first update: the counters shown are this player's.
    void setPlayer(const Player* player);

    // An opaque banner replaces whatever was under it, so it is drawn without blending.
    // Through `copying` when given.
    void setBannerOpaque(bool value, const CopyingProgram* copying = nullptr) {
        bannerOpaque = value;
        bannerProgram = copying;
    }

    // Where the banner lies in a window of the given size: across the bottom fifth.
    static sf::FloatRect bannerArea(sf::Vector2u window);

    std::uint32_t getCategory() const override;
    void getBoundingRect(std::vector<sf::FloatRect>& out) const override;

    const sf::VertexArray& getVertices() const { return vertices; }
    const sf::Sprite& getBanner() const { return banner; }
    lua_State* getScriptState() const { return script.get(); }

    // Registers the vertex functions and the PlayerHUD handle for the given vertex array.
    static void registerVertexFunctions(lua_State* state, sf::VertexArray& vertices);

private:
    static constexpr int MaxFailures = 10;

    void updateCurrent(sf::Time dt) override;
    void drawCurrent(sf::RenderTarget& target, sf::RenderStates states) const override;
    void callInit();
    void report(const std::string& problem);
    // Reports a failed run or call; a broken script, or one that failed too often, is disabled.
    void fail(const std::string& problem, bool broken);

    sf::Sprite banner;
    sf::VertexArray vertices;
    LuaState script;
    const Player* player = nullptr;
    sf::Texture elementTexture;
    std::set<std::string> reported;
    int failures = 0;
    bool scriptDisabled = false;
    bool bannerOpaque = false;
    const CopyingProgram* bannerProgram = nullptr;
};
