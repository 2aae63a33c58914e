#pragma once

#include <map>
#include <string>
#include <vector>

namespace sfxgen {

// One statement of a description: `keyword word word key=value key=value`.
// A token starting with '#' begins a comment ('#' inside a token, as in C#5, is a sharp).
struct DescriptionLine {
    std::string file;
    int number = 0;
    std::string keyword;
    std::vector<std::string> words;
    std::map<std::string, std::string> fields;
};

// Splits a description into statements, dropping blank and comment-only lines. Throws
// DescriptionError for a malformed field (`=value`, `key=`) or a field given twice.
std::vector<DescriptionLine> splitDescription(const std::string& text, const std::string& file);

} // namespace sfxgen
