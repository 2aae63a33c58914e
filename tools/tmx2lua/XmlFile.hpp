#pragma once
// A Tiled file (.tmx or .tsx) parsed with pugixml, which keeps where each element starts so the
// converter's messages can give its line.

#include <pugixml.hpp>

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

class XmlFile {
public:
    // Reads and parses the file; throws ConversionError when it cannot be read or is not
    // well-formed XML (with the line of the fault).
    explicit XmlFile(const std::filesystem::path& file);
    XmlFile(const XmlFile&) = delete;
    XmlFile& operator=(const XmlFile&) = delete;

    pugi::xml_node root() const { return document.document_element(); }
    // "line N" of where the node starts.
    std::string where(const pugi::xml_node& node) const;

private:
    std::string lineOf(std::ptrdiff_t offset) const;

    pugi::xml_document document;
    std::vector<std::size_t> lineStarts; // the offset of each line's first character
};
