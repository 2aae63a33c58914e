#include "TmxMap.hpp"

#include "ConversionError.hpp"
#include "XmlFile.hpp"

namespace fs = std::filesystem;

namespace {

// Tiled keeps flips and rotations in the top bits of a tile id; the game draws tiles unrotated.
constexpr std::uint32_t flipBits = 0xF0000000u;

// The attribute's value, or fallback when the element has none.
std::string attribute(const pugi::xml_node& element, const std::string& key,
                      const std::string& fallback = "") {
    const pugi::xml_attribute found = element.attribute(key.c_str());
    return found ? found.value() : fallback;
}

bool hasAttribute(const pugi::xml_node& element, const std::string& key) {
    return static_cast<bool>(element.attribute(key.c_str()));
}

// All character data directly inside the element.
std::string characterData(const pugi::xml_node& element) {
    std::string text;
    for (const pugi::xml_node& child : element.children())
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            text += child.value();
    return text;
}

int intAttribute(const XmlFile& file, const pugi::xml_node& element, const std::string& key,
                 int fallback, bool required) {
    if (!hasAttribute(element, key)) {
        if (required)
            throw ConversionError(file.where(element) + ": <" + element.name() + "> has no " + key +
                                  " attribute");
        return fallback;
    }
    const std::string text = attribute(element, key);
    std::size_t used = 0;
    int value = 0;
    try {
        value = std::stoi(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size())
        throw ConversionError(file.where(element) + ": <" + element.name() + "> attribute " + key +
                              "=\"" + text + "\" is not a whole number");
    return value;
}

std::string numberAttribute(const XmlFile& file, const pugi::xml_node& element,
                            const std::string& key, const std::string& fallback) {
    const std::string text = attribute(element, key, fallback);
    std::size_t used = 0;
    try {
        std::stod(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size())
        throw ConversionError(file.where(element) + ": <" + element.name() + "> attribute " + key +
                              "=\"" + text + "\" is not a number");
    return text;
}

// Fills everything but firstGid from a <tileset> element; baseDir resolves the image path.
void readTilesetBody(const XmlFile& file, const pugi::xml_node& element, const fs::path& baseDir,
                     TmxTileset& tileset) {
    tileset.name = attribute(element, "name");
    tileset.tileWidth = intAttribute(file, element, "tilewidth", 0, true);
    tileset.tileHeight = intAttribute(file, element, "tileheight", 0, true);
    tileset.spacing = intAttribute(file, element, "spacing", 0, false);
    tileset.margin = intAttribute(file, element, "margin", 0, false);
    tileset.tileCount = intAttribute(file, element, "tilecount", 0, true);
    tileset.columns = intAttribute(file, element, "columns", 0, true);
    if (tileset.tileCount <= 0)
        throw ConversionError("tileset '" + tileset.name + "' has no tiles");
    const pugi::xml_node image = element.child("image");
    if (!image)
        throw ConversionError("tileset '" + tileset.name +
                              "' has no <image>: the game draws all tiles from one picture");
    if (attribute(image, "source").empty())
        throw ConversionError(file.where(image) + ": <image> has no source");
    tileset.image = fs::absolute(baseDir / attribute(image, "source")).lexically_normal();
    tileset.imageWidth = intAttribute(file, image, "width", 0, true);
    tileset.imageHeight = intAttribute(file, image, "height", 0, true);
}

TmxTileset readTileset(const XmlFile& file, const pugi::xml_node& element, const fs::path& mapDir) {
    TmxTileset tileset;
    tileset.firstGid = intAttribute(file, element, "firstgid", 1, true);
    if (tileset.firstGid < 1)
        throw ConversionError(file.where(element) + ": firstgid must be 1 or more");
    const std::string source = attribute(element, "source");
    if (source.empty()) {
        readTilesetBody(file, element, mapDir, tileset);
        return tileset;
    }
    const fs::path tilesetPath = mapDir / source;
    try {
        const XmlFile tilesetFile(tilesetPath);
        const pugi::xml_node root = tilesetFile.root();
        if (std::string(root.name()) != "tileset")
            throw ConversionError(std::string("root element is <") + root.name() +
                                  ">, expected <tileset>");
        readTilesetBody(tilesetFile, root, tilesetPath.parent_path(), tileset);
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

TmxLayer readLayer(const XmlFile& file, const pugi::xml_node& element, const TmxMap& map) {
    TmxLayer layer;
    layer.id = intAttribute(file, element, "id", 0, false);
    layer.name = attribute(element, "name");
    layer.width = intAttribute(file, element, "width", 0, true);
    layer.height = intAttribute(file, element, "height", 0, true);
    if (layer.width != map.width || layer.height != map.height)
        throw ConversionError("layer '" + layer.name + "' is " + std::to_string(layer.width) +
                              " x " + std::to_string(layer.height) + ", the map " +
                              std::to_string(map.width) + " x " + std::to_string(map.height));
    layer.visible = attribute(element, "visible", "1") != "0";
    layer.opacity = numberAttribute(file, element, "opacity", "1");
    layer.offsetX = numberAttribute(file, element, "offsetx", "0");
    layer.offsetY = numberAttribute(file, element, "offsety", "0");
    layer.parallaxX = numberAttribute(file, element, "parallaxx", "1");
    layer.parallaxY = numberAttribute(file, element, "parallaxy", "1");
    layer.tintColor = attribute(element, "tintcolor");
    if (!layer.tintColor.empty() &&
        ((layer.tintColor.size() != 7 && layer.tintColor.size() != 9) ||
         layer.tintColor[0] != '#' ||
         layer.tintColor.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos))
        throw ConversionError("layer '" + layer.name + "': tint colour '" + layer.tintColor +
                              "' is not #rrggbb or #aarrggbb");

    const pugi::xml_node data = element.child("data");
    if (!data)
        throw ConversionError("layer '" + layer.name + "' has no <data>");
    const std::string encoding = attribute(data, "encoding", "xml");
    const bool compressed = hasAttribute(data, "compression");
    if (encoding != "csv" || compressed)
        throw ConversionError("layer '" + layer.name + "' is stored as " + encoding +
                              (compressed ? " (" + attribute(data, "compression") + ")" : "") +
                              "; save the map with the tile layer format CSV");
    if (data.child("chunk"))
        throw ConversionError("layer '" + layer.name +
                              "' is infinite; the game needs a fixed-size map");
    layer.data = readCsv(layer, characterData(data), map.tilesets);
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

TmxMap TmxMap::load(const fs::path& path) {
    const XmlFile file(path);
    const pugi::xml_node root = file.root();
    if (std::string(root.name()) != "map")
        throw ConversionError(std::string("root element is <") + root.name() + ">, expected <map>");
    if (attribute(root, "infinite", "0") != "0")
        throw ConversionError("the map is infinite; the game needs a fixed-size map");

    TmxMap map;
    map.version = attribute(root, "version", "1.0");
    map.tiledVersion = attribute(root, "tiledversion");
    map.orientation = attribute(root, "orientation", "orthogonal");
    map.renderOrder = attribute(root, "renderorder", "right-down");
    map.width = intAttribute(file, root, "width", 0, true);
    map.height = intAttribute(file, root, "height", 0, true);
    map.tileWidth = intAttribute(file, root, "tilewidth", 0, true);
    map.tileHeight = intAttribute(file, root, "tileheight", 0, true);
    map.nextLayerId = intAttribute(file, root, "nextlayerid", 1, false);
    map.nextObjectId = intAttribute(file, root, "nextobjectid", 1, false);
    if (map.width <= 0 || map.height <= 0)
        throw ConversionError("the map is " + std::to_string(map.width) + " x " +
                              std::to_string(map.height) + " tiles; it needs at least one");

    const fs::path mapDir = fs::absolute(path).parent_path();
    for (const pugi::xml_node& element : root.children("tileset"))
        map.tilesets.push_back(readTileset(file, element, mapDir));
    if (map.tilesets.empty())
        throw ConversionError("the map has no tileset");

    for (const pugi::xml_node& element : root.children()) {
        const std::string name = element.name();
        if (name == "layer")
            map.layers.push_back(readLayer(file, element, map));
        else if (name == "objectgroup" || name == "imagelayer" || name == "group")
            throw ConversionError(file.where(element) + ": <" + name +
                                  "> found; the game reads tile layers only, by position");
    }
    if (map.layers.size() < 2)
        throw ConversionError(
            "the map has " + std::to_string(map.layers.size()) +
            " tile layer(s); the game needs two: the tiles, then the key markers");
    return map;
}
