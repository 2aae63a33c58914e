#include "DescriptionLine.hpp"

#include "DescriptionError.hpp"

#include <sstream>

namespace sfxgen {

std::vector<DescriptionLine> splitDescription(const std::string& text, const std::string& file) {
    std::vector<DescriptionLine> lines;
    std::istringstream input(text);
    std::string raw;
    int number = 0;
    while (std::getline(input, raw)) {
        ++number;
        std::istringstream tokens(raw);
        std::string token;
        DescriptionLine line;
        line.file = file;
        line.number = number;
        while (tokens >> token) {
            if (token.front() == '#') {
                break;
            }
            if (line.keyword.empty()) {
                line.keyword = token;
                continue;
            }
            const auto equals = token.find('=');
            if (equals == std::string::npos) {
                line.words.push_back(token);
                continue;
            }
            const std::string key = token.substr(0, equals);
            const std::string value = token.substr(equals + 1);
            if (key.empty() || value.empty()) {
                throw DescriptionError(file, number,
                                       "malformed field '" + token + "' (expected name=value)");
            }
            if (!line.fields.emplace(key, value).second) {
                throw DescriptionError(file, number, "field '" + key + "' given twice");
            }
        }
        if (!line.keyword.empty()) {
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

} // namespace sfxgen
