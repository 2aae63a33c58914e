#include "Description.hpp"

#include "DescriptionError.hpp"
#include "DescriptionLine.hpp"
#include "Effect.hpp"
#include "Theme.hpp"
#include "ThemeRenderer.hpp"

namespace sfxgen {

Rendering renderDescription(const std::string& text, const std::string& file) {
    const std::vector<DescriptionLine> lines = splitDescription(text, file);
    if (lines.empty()) {
        throw DescriptionError(file, 1, "the description is empty");
    }
    const DescriptionLine& first = lines.front();
    if (first.keyword == "effect") {
        return renderEffect(parseEffect(lines));
    }
    if (first.keyword == "theme") {
        return renderTheme(parseTheme(lines));
    }
    throw DescriptionError(file, first.number,
                           "a description starts with 'effect' or 'theme', not '" + first.keyword +
                               "'");
}

} // namespace sfxgen
