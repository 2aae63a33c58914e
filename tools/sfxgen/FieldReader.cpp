#include "FieldReader.hpp"

#include "DescriptionError.hpp"
#include "Pitch.hpp"

#include <cmath>
#include <sstream>

namespace sfxgen {

FieldReader::FieldReader(const DescriptionLine& line) : mLine(line) {}

const std::string* FieldReader::find(const std::string& key) {
    mUsed.insert(key);
    const auto it = mLine.fields.find(key);
    return it == mLine.fields.end() ? nullptr : &it->second;
}

bool FieldReader::has(const std::string& key) const {
    return mLine.fields.count(key) != 0;
}

void FieldReader::fail(const std::string& problem) const {
    throw DescriptionError(mLine.file, mLine.number, problem);
}

double FieldReader::parseNumber(const std::string& key, const std::string& text, double min,
                                double max, bool noteNames) const {
    double value = 0.0;
    std::size_t used = 0;
    try {
        value = std::stod(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != text.size() || !std::isfinite(value)) {
        const auto note = noteNames ? noteNumber(text) : std::nullopt;
        if (!note) {
            fail("field '" + key + "': '" + text + "' is not a number" +
                 (noteNames ? " or a note name" : ""));
        }
        value = noteFrequency(*note);
    }
    if (value < min || value > max) {
        std::ostringstream range;
        range << "field '" << key << "': " << text << " is outside " << min << " to " << max;
        fail(range.str());
    }
    return value;
}

double FieldReader::number(const std::string& key, double fallback, double min, double max) {
    const std::string* text = find(key);
    return text ? parseNumber(key, *text, min, max, false) : fallback;
}

Ramp FieldReader::ramp(const std::string& key, double fallback, double min, double max,
                       Scale scale) {
    const std::string* text = find(key);
    Ramp result = Ramp::constant(fallback);
    result.exponential = scale != Scale::Linear;
    if (!text) {
        return result;
    }
    const bool notes = scale == Scale::Frequency;
    std::string body = *text;
    const auto at = body.find('@');
    if (at != std::string::npos) {
        result.time = parseNumber(key, body.substr(at + 1), 0.001, 600.0, false);
        body = body.substr(0, at);
    }
    const auto arrow = body.find("->");
    if (arrow == std::string::npos) {
        if (at != std::string::npos) {
            fail("field '" + key + "': '@time' needs a ramp such as 100->50@0.2");
        }
        result.from = result.to = parseNumber(key, body, min, max, notes);
        return result;
    }
    result.from = parseNumber(key, body.substr(0, arrow), min, max, notes);
    result.to = parseNumber(key, body.substr(arrow + 2), min, max, notes);
    if (result.exponential && (result.from <= 0.0 || result.to <= 0.0)) {
        fail("field '" + key + "': an exponential ramp needs values above zero");
    }
    return result;
}

std::string FieldReader::choice(const std::string& key, const std::vector<std::string>& options) {
    const std::string* text = find(key);
    if (!text) {
        return options.front();
    }
    for (const auto& option : options) {
        if (*text == option) {
            return option;
        }
    }
    std::string known;
    for (const auto& option : options) {
        known += (known.empty() ? "" : ", ") + option;
    }
    fail("field '" + key + "': '" + *text + "' is not one of " + known);
}

std::string FieldReader::text(const std::string& key, const std::string& fallback) {
    const std::string* text = find(key);
    return text ? *text : fallback;
}

std::vector<double> FieldReader::list(const std::string& key, double min, double max) {
    std::vector<double> values;
    const std::string* text = find(key);
    if (!text) {
        return values;
    }
    std::istringstream items(*text);
    std::string item;
    while (std::getline(items, item, ',')) {
        values.push_back(parseNumber(key, item, min, max, false));
    }
    return values;
}

void FieldReader::finish() const {
    for (const auto& field : mLine.fields) {
        if (mUsed.count(field.first) == 0) {
            fail("unknown field '" + field.first + "' for '" + mLine.keyword + "'");
        }
    }
}

} // namespace sfxgen
