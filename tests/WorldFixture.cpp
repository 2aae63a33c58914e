#include "WorldFixture.hpp"

#include "core/CommandQueue.hpp"

#include <gtest/gtest.h>

#include <sstream>

namespace testsupport {

std::string row(char cell) {
    return std::string(30, cell);
}

std::string levelScript(const std::vector<std::string>& rows) {
    std::ostringstream tiles;
    std::ostringstream marks;
    for (const std::string& line : rows)
        for (char cell : line) {
            int tile = 0;
            switch (cell) {
            case '#':
                tile = 1;
                break;
            case 'K':
                tile = 11;
                break;
            case 'P':
                tile = 5;
                break;
            case 'R':
                tile = 6;
                break;
            case 'Y':
                tile = 7;
                break;
            case 'G':
                tile = 8;
                break;
            case 'B':
                tile = 9;
                break;
            case 'O':
                tile = 10;
                break;
            default:
                break;
            }
            tiles << tile << ",";
            marks << (cell == 'K' ? 1 : 0) << ",";
        }
    std::ostringstream script;
    script << "return { layers = {\n"
           << "  { width = 30, height = " << rows.size() << ", data = {" << tiles.str() << "} },\n"
           << "  { data = {" << marks.str() << "} } } }\n";
    return script.str();
}

WorldFixture::WorldFixture(const std::map<int, std::string>& levels, sf::Vector2u windowSize,
                           int firstLevel) {
    if (!target.create(windowSize.x, windowSize.y))
        ADD_FAILURE() << "no picture of " << windowSize.x << "x" << windowSize.y << " to draw into";
    // The shipped scripts and pictures, so actors get their real sizes.
    for (const char* folder : {"Scripts", "Images"})
        if (fs::exists(dataDir() / folder))
            fs::copy(dataDir() / folder, dir / folder, fs::copy_options::recursive);
    for (const auto& [number, script] : levels)
        writeFile(dir / ("Levels/Level" + std::to_string(number) + ".lua"), script);
    // Commands left over from an earlier test must not reach this world.
    while (!commandQueue().isEmpty())
        commandQueue().pop();
    theWorld = std::make_unique<World>(target, firstLevel);
}

WorldFixture::~WorldFixture() {
    theWorld.reset();
    while (!commandQueue().isEmpty())
        commandQueue().pop();
}

void WorldFixture::run(int frames, sf::Time frame) {
    for (int i = 0; i < frames; ++i)
        theWorld->update(frame);
}

} // namespace testsupport
