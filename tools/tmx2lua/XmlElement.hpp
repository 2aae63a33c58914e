#pragma once
// Just enough XML for Tiled's .tmx and .tsx files: elements, attributes, text, comments and the
// declaration. No DTDs, namespaces or CDATA; Tiled writes none of them for our maps.

#include <string>
#include <utility>
#include <vector>

struct XmlElement {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes; // in file order
    std::vector<XmlElement> children;
    std::string text; // character data directly inside this element, entities decoded
    int line = 0;     // where the start tag begins, for error messages

    // Parses a whole document and returns its root element; throws ConversionError with the
    // line number when the text is not well-formed.
    static XmlElement parse(const std::string& document);

    bool hasAttribute(const std::string& key) const;
    // The attribute's value, or fallback when the element has no such attribute.
    std::string attribute(const std::string& key, const std::string& fallback = "") const;
    // The first child with that name, or null.
    const XmlElement* child(const std::string& childName) const;
};
