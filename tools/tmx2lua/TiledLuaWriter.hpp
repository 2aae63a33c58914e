#pragma once
// Writes a map in the shape of Tiled's own Lua export (tilesets embedded), which is the level
// script format the game runs: it returns a table whose layers[1] holds the tile numbers and
// layers[2] the key markers, each as width, height and a row-major data array.

#include <filesystem>
#include <ostream>

class TmxMap;

class TiledLuaWriter {
public:
    // Image paths are written relative to outputDir, the folder the script will live in, as Tiled
    // writes them relative to the exported file.
    static void write(const TmxMap& map, const std::filesystem::path& outputDir, std::ostream& out);
};
