#pragma once

#include "DescriptionLine.hpp"
#include "Ramp.hpp"

#include <set>
#include <string>
#include <vector>

namespace sfxgen {

// Reads the fields of one statement with range checks, remembering which were asked for, so
// that finish() can reject a misspelt or unsupported field instead of silently ignoring it.
// Every problem is reported as a DescriptionError naming the file and line.
class FieldReader {
public:
    enum class Scale { Linear, Exponential, Frequency };

    explicit FieldReader(const DescriptionLine& line);

    double number(const std::string& key, double fallback, double min, double max);
    // A ramp "a->b@t" or a plain number. Frequency ramps also take note names ("C5->C6").
    Ramp ramp(const std::string& key, double fallback, double min, double max, Scale scale);
    std::string choice(const std::string& key, const std::vector<std::string>& options);
    std::string text(const std::string& key, const std::string& fallback);
    // A comma-separated list of numbers, e.g. "0,4,7,12".
    std::vector<double> list(const std::string& key, double min, double max);
    bool has(const std::string& key) const;

    void finish() const;
    [[noreturn]] void fail(const std::string& problem) const;

private:
    const std::string* find(const std::string& key);
    double parseNumber(const std::string& key, const std::string& text, double min, double max,
                       bool noteNames) const;

    const DescriptionLine& mLine;
    std::set<std::string> mUsed;
};

} // namespace sfxgen
