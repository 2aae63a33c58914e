#include "TmxMap.hpp"

#include "ConversionError.hpp"
#include "XmlElement.hpp"

#include <cctype>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// Tiled keeps flips and rotations in the top bits of a tile id; the game draws tiles unrotated.
constexpr std::uint32_t flipBits = 0xF0000000u;

std::string readText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw ConversionError("cannot open " + file.string());
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

int intAttribute(const XmlElement& element, const std::string& key, int fallback, bool required) {
    if (!element.hasAttribute(key)) {
        if (required)
            throw ConversionError("line " + std::to_string(element.line) + ": <" + element.name +
                                  "> has no " + key + " attribute");
        return fallback;
    }
    const std::string text = element.attribute(key);
    std::size_t used = 0;
    int value = 0;
    try {
        value = std::stoi(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size())
        throw ConversionError("line " + std::to_string(element.line) + ": <" + element.name +
                              "> attribute " + key + "=\"" + text + "\" is not a whole number");
    return value;
}

std::string numberAttribute(const XmlElement& element, const std::string& key,
                            const std::string& fallback) {
    const std::string text = element.attribute(key, fallback);
    std::size_t used = 0;
    try {
        std::stod(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size())
        throw ConversionError("line " + std::to_string(element.line) + ": <" + element.name +
                              "> attribute " + key + "=\"" + text + "\" is not a number");
    return text;
}

// Fills everything but firstGid from a <tileset> element; baseDir resolves the image path.
void readTilesetBody(const XmlElement& element, const fs::path& baseDir, TmxTileset& tileset) {
    tileset.name = element.attribute("name");
    tileset.tileWidth = intAttribute(element, "tilewidth", 0, true);
    tileset.tileHeight = intAttribute(element, "tileheight", 0, true);
    tileset.spacing = intAttribute(element, "spacing", 0, false);
    tileset.margin = intAttribute(element, "margin", 0, false);
    tileset.tileCount = intAttribute(element, "tilecount", 0, true);
    tileset.columns = intAttribute(element, "columns", 0, true);
    if (tileset.tileCount <= 0)
        throw ConversionError("tileset '" + tileset.name + "' has no tiles");
    const XmlElement* image = element.child("image");
    if (!image)
        throw ConversionError("tileset '" + tileset.name +
                              "' has no <image>: the game draws all tiles from one picture");
    if (image->attribute("source").empty())
        throw ConversionError("line " + std::to_string(image->line) + ": <image> has no source");
    tileset.image = fs::absolute(baseDir / image->attribute("source")).lexically_normal();
    tileset.imageWidth = intAttribute(*image, "width", 0, true);
    tileset.imageHeight = intAttribute(*image, "height", 0, true);
}

TmxTileset readTileset(const XmlElement& element, const fs::path& mapDir) {
    TmxTileset tileset;
    tileset.firstGid = intAttribute(element, "firstgid", 1, true);
    if (tileset.firstGid < 1)
        throw ConversionError("line " + std::to_string(element.line) +
                              ": firstgid must be 1 or more");
    const std::string source = element.attribute("source");
    if (source.empty()) {
        readTilesetBody(element, mapDir, tileset);
        return tileset;
    }
    const fs::path file = mapDir / source;
    try {
        const XmlElement root = XmlElement::parse(readText(file));
        if (root.name != "tileset")
            throw ConversionError("root element is <" + root.name + ">, expected <tileset>");
        readTilesetBody(root, file.parent_path(), tileset);
    } catch (const ConversionError& error) {
        throw ConversionError("tileset " + source + ": " + error.what());
    }
    return tileset;
}

bool knownTile(const std::vector<TmxTileset>& tilesets, std::uint32_t gid) {
    for (const TmxTileset& tileset : tilesets) {
        const auto first = static_cast<std::uint32_t>(tileset.firstGid);
        if (gid >= first && gid < first + static_cast<std::uint32_t>(tileset.tileCount))
            return true;
    }
    return false;
}

std::vector<std::uint32_t> readCsv(const TmxLayer& layer, const std::string& csv,
                                   const std::vector<TmxTileset>& tilesets) {
    std::vector<std::uint32_t> data;
    data.reserve(static_cast<std::size_t>(layer.width) * static_cast<std::size_t>(layer.height));
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = csv.find(',', start);
        const std::string raw =
            csv.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const std::size_t first = raw.find_first_not_of(" \t\r\n");
        const std::string entry =
            first == std::string::npos
                ? ""
                : raw.substr(first, raw.find_last_not_of(" \t\r\n") - first + 1);
        const bool last = comma == std::string::npos;
        if (!(last && entry.empty() && !data.empty())) {
            const std::size_t index = data.size();
            const std::string where =
                "layer '" + layer.name + "', entry " + std::to_string(index + 1) + " (row " +
                std::to_string(index / static_cast<std::size_t>(layer.width)) + ", column " +
                std::to_string(index % static_cast<std::size_t>(layer.width)) + ")";
            if (entry.empty() || entry.size() > 10 ||
                entry.find_first_not_of("0123456789") != std::string::npos)
                throw ConversionError(where + ": '" + entry + "' is not a tile number");
            const unsigned long long value = std::stoull(entry);
            if (value > 0xFFFFFFFFull)
                throw ConversionError(where + ": " + entry + " is not a tile number");
            const auto gid = static_cast<std::uint32_t>(value);
            if (gid & flipBits)
                throw ConversionError(where + ": the tile is flipped or rotated; the game draws "
                                              "tiles as they are in the picture");
            if (gid != 0 && !knownTile(tilesets, gid))
                throw ConversionError(where + ": tile " + entry + " is in no tileset of the map");
            data.push_back(gid);
        }
        if (last)
            break;
        start = comma + 1;
    }
    return data;
}

TmxLayer readLayer(const XmlElement& element, const TmxMap& map) {
    TmxLayer layer;
    layer.id = intAttribute(element, "id", 0, false);
    layer.name = element.attribute("name");
    layer.width = intAttribute(element, "width", 0, true);
    layer.height = intAttribute(element, "height", 0, true);
    if (layer.width != map.width || layer.height != map.height)
        throw ConversionError("layer '" + layer.name + "' is " + std::to_string(layer.width) +
                              " x " + std::to_string(layer.height) + ", the map " +
                              std::to_string(map.width) + " x " + std::to_string(map.height));
    layer.visible = element.attribute("visible", "1") != "0";
    layer.opacity = numberAttribute(element, "opacity", "1");
    layer.offsetX = numberAttribute(element, "offsetx", "0");
    layer.offsetY = numberAttribute(element, "offsety", "0");
    layer.parallaxX = numberAttribute(element, "parallaxx", "1");
    layer.parallaxY = numberAttribute(element, "parallaxy", "1");
    layer.tintColor = element.attribute("tintcolor");
    if (!layer.tintColor.empty() &&
        ((layer.tintColor.size() != 7 && layer.tintColor.size() != 9) ||
         layer.tintColor[0] != '#' ||
         layer.tintColor.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos))
        throw ConversionError("layer '" + layer.name + "': tint colour '" + layer.tintColor +
                              "' is not #rrggbb or #aarrggbb");

    const XmlElement* data = element.child("data");
    if (!data)
        throw ConversionError("layer '" + layer.name + "' has no <data>");
    const std::string encoding = data->attribute("encoding", "xml");
    if (encoding != "csv" || data->hasAttribute("compression"))
        throw ConversionError(
            "layer '" + layer.name + "' is stored as " + encoding +
            (data->hasAttribute("compression") ? " (" + data->attribute("compression") + ")" : "") +
            "; save the map with the tile layer format CSV");
    if (data->child("chunk"))
        throw ConversionError("layer '" + layer.name +
                              "' is infinite; the game needs a fixed-size map");
    layer.data = readCsv(layer, data->text, map.tilesets);
    const std::size_t expected =
        static_cast<std::size_t>(layer.width) * static_cast<std::size_t>(layer.height);
    if (layer.data.size() != expected)
        throw ConversionError("layer '" + layer.name + "' has " +
                              std::to_string(layer.data.size()) + " tile numbers, expected " +
                              std::to_string(expected) + " (" + std::to_string(layer.width) +
                              " x " + std::to_string(layer.height) + ")");
    return layer;
}

} // namespace

TmxMap TmxMap::load(const fs::path& file) {
    const XmlElement root = XmlElement::parse(readText(file));
    if (root.name != "map")
        throw ConversionError("root element is <" + root.name + ">, expected <map>");
    if (root.attribute("infinite", "0") != "0")
        throw ConversionError("the map is infinite; the game needs a fixed-size map");

    TmxMap map;
    map.version = root.attribute("version", "1.0");
    map.tiledVersion = root.attribute("tiledversion");
    map.orientation = root.attribute("orientation", "orthogonal");
    map.renderOrder = root.attribute("renderorder", "right-down");
    map.width = intAttribute(root, "width", 0, true);
    map.height = intAttribute(root, "height", 0, true);
    map.tileWidth = intAttribute(root, "tilewidth", 0, true);
    map.tileHeight = intAttribute(root, "tileheight", 0, true);
    map.nextLayerId = intAttribute(root, "nextlayerid", 1, false);
    map.nextObjectId = intAttribute(root, "nextobjectid", 1, false);
    if (map.width <= 0 || map.height <= 0)
        throw ConversionError("the map is " + std::to_string(map.width) + " x " +
                              std::to_string(map.height) + " tiles; it needs at least one");

    const fs::path mapDir = fs::absolute(file).parent_path();
    for (const XmlElement& element : root.children) {
        if (element.name == "tileset")
            map.tilesets.push_back(readTileset(element, mapDir));
    }
    if (map.tilesets.empty())
        throw ConversionError("the map has no tileset");

    for (const XmlElement& element : root.children) {
        if (element.name == "layer")
            map.layers.push_back(readLayer(element, map));
        else if (element.name == "objectgroup" || element.name == "imagelayer" ||
                 element.name == "group")
            throw ConversionError("line " + std::to_string(element.line) + ": <" + element.name +
                                  "> found; the game reads tile layers only, by position");
    }
    if (map.layers.size() < 2)
        throw ConversionError(
            "the map has " + std::to_string(map.layers.size()) +
            " tile layer(s); the game needs two: the tiles, then the key markers");
    return map;
}
