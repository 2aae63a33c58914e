// tmx2lua: turns a Tiled map (.tmx, CSV tile layers) into the Lua level script the game loads.
// Usage: tmx2lua MAP.tmx LEVEL.lua

#include "ConversionError.hpp"
#include "TiledLuaWriter.hpp"
#include "TmxMap.hpp"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: tmx2lua MAP.tmx LEVEL.lua\n";
        return 2;
    }
    const fs::path input = argv[1];
    const fs::path output = argv[2];

    std::ostringstream script;
    try {
        const TmxMap map = TmxMap::load(input);
        TiledLuaWriter::write(map, fs::absolute(output).parent_path().lexically_normal(), script);
    } catch (const std::exception& error) {
        std::cerr << "tmx2lua: " << input.string() << ": " << error.what() << '\n';
        return 1;
    }

    // The whole script is made before the file is opened, so a bad map never leaves a fresh,
    // half-written level behind that the build would then take as up to date.
    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    out << script.str();
    out.close();
    if (!out) {
        std::cerr << "tmx2lua: " << output.string() << ": cannot write the level script\n";
        std::error_code ignored;
        fs::remove(output, ignored);
        return 1;
    }
    return 0;
}
