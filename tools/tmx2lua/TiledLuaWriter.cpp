#include "TiledLuaWriter.hpp"

#include "TmxMap.hpp"

#include <string>

namespace fs = std::filesystem;

namespace {

std::string quoted(const std::string& text) {
    std::string result = "\"";
    for (const char c : text) {
        switch (c) {
        case '"':
            result += "\\\"";
            break;
        case '\\':
            result += "\\\\";
            break;
        case '\n':
            result += "\\n";
            break;
        case '\r':
            result += "\\r";
            break;
        default:
            result += c;
        }
    }
    return result + "\"";
}

// "#rrggbb" or "#aarrggbb" becomes Tiled's { r, g, b } or { r, g, b, a }.
std::string colourTable(const std::string& colour) {
    const bool withAlpha = colour.size() == 9;
    const std::string rgb = colour.substr(withAlpha ? 3 : 1);
    std::string result = "{ ";
    for (int i = 0; i < 3; ++i)
        result +=
            std::to_string(std::stoi(rgb.substr(static_cast<std::size_t>(i) * 2, 2), nullptr, 16)) +
            (i < 2 ? ", " : "");
    if (withAlpha)
        result += ", " + std::to_string(std::stoi(colour.substr(1, 2), nullptr, 16));
    return result + " }";
}

void writeTileset(const TmxTileset& tileset, const fs::path& outputDir, std::ostream& out,
                  bool last) {
    const std::string image = tileset.image.lexically_relative(outputDir).generic_string();
    out << "    {\n"
        << "      name = " << quoted(tileset.name) << ",\n"
        << "      firstgid = " << tileset.firstGid << ",\n"
        << "      class = \"\",\n"
        << "      tilewidth = " << tileset.tileWidth << ",\n"
        << "      tileheight = " << tileset.tileHeight << ",\n"
        << "      spacing = " << tileset.spacing << ",\n"
        << "      margin = " << tileset.margin << ",\n"
        << "      columns = " << tileset.columns << ",\n"
        << "      image = " << quoted(image.empty() ? tileset.image.generic_string() : image)
        << ",\n"
        << "      imagewidth = " << tileset.imageWidth << ",\n"
        << "      imageheight = " << tileset.imageHeight << ",\n"
        << "      objectalignment = \"unspecified\",\n"
        << "      tilerendersize = \"tile\",\n"
        << "      fillmode = \"stretch\",\n"
        << "      tileoffset = {\n"
        << "        x = 0,\n"
        << "        y = 0\n"
        << "      },\n"
        << "      grid = {\n"
        << "        orientation = \"orthogonal\",\n"
        << "        width = " << tileset.tileWidth << ",\n"
        << "        height = " << tileset.tileHeight << "\n"
        << "      },\n"
        << "      properties = {},\n"
        << "      wangsets = {},\n"
        << "      tilecount = " << tileset.tileCount << ",\n"
        << "      tiles = {}\n"
        << "    }" << (last ? "" : ",") << "\n";
}

void writeLayer(const TmxLayer& layer, std::ostream& out, bool last) {
    out << "    {\n"
        << "      type = \"tilelayer\",\n"
        << "      x = 0,\n"
        << "      y = 0,\n"
        << "      width = " << layer.width << ",\n"
        << "      height = " << layer.height << ",\n"
        << "      id = " << layer.id << ",\n"
        << "      name = " << quoted(layer.name) << ",\n"
        << "      class = \"\",\n"
        << "      visible = " << (layer.visible ? "true" : "false") << ",\n"
        << "      opacity = " << layer.opacity << ",\n"
        << "      offsetx = " << layer.offsetX << ",\n"
        << "      offsety = " << layer.offsetY << ",\n"
        << "      parallaxx = " << layer.parallaxX << ",\n"
        << "      parallaxy = " << layer.parallaxY << ",\n";
    if (!layer.tintColor.empty())
        out << "      tintcolor = " << colourTable(layer.tintColor) << ",\n";
    out << "      properties = {},\n"
        << "      encoding = \"lua\",\n"
        << "      data = {\n";
    // One map row per line, as Tiled writes it, so a level reads as a picture in the script too.
    const std::size_t width = static_cast<std::size_t>(layer.width);
    for (std::size_t i = 0; i < layer.data.size(); ++i) {
        if (i % width == 0)
            out << "        ";
        out << layer.data[i];
        if (i + 1 < layer.data.size())
            out << ((i + 1) % width == 0 ? ",\n" : ", ");
    }
    out << "\n      }\n"
        << "    }" << (last ? "" : ",") << "\n";
}

} // namespace

void TiledLuaWriter::write(const TmxMap& map, const fs::path& outputDir, std::ostream& out) {
    out << "return {\n"
        << "  version = " << quoted(map.version) << ",\n"
        << "  luaversion = \"5.1\",\n"
        << "  tiledversion = " << quoted(map.tiledVersion) << ",\n"
        << "  class = \"\",\n"
        << "  orientation = " << quoted(map.orientation) << ",\n"
        << "  renderorder = " << quoted(map.renderOrder) << ",\n"
        << "  width = " << map.width << ",\n"
        << "  height = " << map.height << ",\n"
        << "  tilewidth = " << map.tileWidth << ",\n"
        << "  tileheight = " << map.tileHeight << ",\n"
        << "  nextlayerid = " << map.nextLayerId << ",\n"
        << "  nextobjectid = " << map.nextObjectId << ",\n"
        << "  properties = {},\n"
        << "  tilesets = {\n";
    for (std::size_t i = 0; i < map.tilesets.size(); ++i)
        writeTileset(map.tilesets[i], outputDir, out, i + 1 == map.tilesets.size());
    out << "  },\n"
        << "  layers = {\n";
    for (std::size_t i = 0; i < map.layers.size(); ++i)
        writeLayer(map.layers[i], out, i + 1 == map.layers.size());
    out << "  }\n"
        << "}\n";
}
