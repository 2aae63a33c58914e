#include "XmlFile.hpp"

#include "ConversionError.hpp"

#include <algorithm>
#include <fstream>
#include <sstream>

XmlFile::XmlFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw ConversionError("cannot open " + file.string());
    std::ostringstream content;
    content << in.rdbuf();
    const std::string text = content.str();

    lineStarts.push_back(0);
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n')
            lineStarts.push_back(i + 1);

    const pugi::xml_parse_result parsed = document.load_buffer(text.data(), text.size());
    if (!parsed)
        throw ConversionError(lineOf(parsed.offset) + ": " + parsed.description());
    if (!root())
        throw ConversionError("no root element");
}

std::string XmlFile::where(const pugi::xml_node& node) const {
    return lineOf(node.offset_debug());
}

std::string XmlFile::lineOf(std::ptrdiff_t offset) const {
    if (offset < 0)
        return "unknown line";
    const auto after =
        std::upper_bound(lineStarts.begin(), lineStarts.end(), static_cast<std::size_t>(offset));
    return "line " + std::to_string(after - lineStarts.begin());
}
