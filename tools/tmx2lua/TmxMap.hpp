#pragma once
// A Tiled map as the converter needs it: the map's header, its tilesets (external .tsx files are
// read and embedded) and its tile layers with CSV data decoded into global tile ids.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct TmxTileset {
    int firstGid = 1;
    std::string name;
    int tileWidth = 0;
    int tileHeight = 0;
    int spacing = 0;
    int margin = 0;
    int columns = 0;
    int tileCount = 0;
    std::filesystem::path image; // absolute, as resolved from the file that names it
    int imageWidth = 0;
    int imageHeight = 0;
};

struct TmxLayer {
    int id = 0;
    std::string name;
    int width = 0;
    int height = 0;
    bool visible = true;
    std::string opacity = "1"; // numbers are kept as Tiled wrote them, so they survive unchanged
    std::string offsetX = "0";
    std::string offsetY = "0";
    std::string parallaxX = "1";
    std::string parallaxY = "1";
    std::string tintColor;           // "#rrggbb" or "#aarrggbb", empty when the layer has none
    std::vector<std::uint32_t> data; // row-major from the top-left cell
};

class TmxMap {
public:
    // Reads and checks the map; throws ConversionError naming the problem (and the tileset file
    // when the problem is there). The game needs at least two tile layers: tiles, then markers.
    static TmxMap load(const std::filesystem::path& file);

    std::string version;
    std::string tiledVersion;
    std::string orientation;
    std::string renderOrder;
    int width = 0;
    int height = 0;
    int tileWidth = 0;
    int tileHeight = 0;
    int nextLayerId = 0;
    int nextObjectId = 0;
    std::vector<TmxTileset> tilesets;
    std::vector<TmxLayer> layers;
};
