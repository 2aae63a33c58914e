#include "PatternSteps.hpp"

#include "DescriptionError.hpp"

#include <cctype>

namespace sfxgen {
namespace {

[[noreturn]] void fail(const DescriptionLine& line, const std::string& problem) {
    throw DescriptionError(line.file, line.number, problem);
}

Step parseNoteStep(const std::string& token, const DescriptionLine& line) {
    Step step;
    if (token == ".") {
        return step;
    }
    if (token == "-") {
        step.kind = Step::Kind::Hold;
        return step;
    }
    std::string body = token;
    while (!body.empty() && (body.back() == '!' || body.back() == '?')) {
        step.velocity *= body.back() == '!' ? 1.3f : 0.6f;
        body.pop_back();
    }
    if (body == "*") {
        step.kind = Step::Kind::WholeChord;
        return step;
    }
    if (!body.empty() && std::isdigit(static_cast<unsigned char>(body[0]))) {
        std::size_t i = 0;
        while (i < body.size() && std::isdigit(static_cast<unsigned char>(body[i]))) {
            step.value = step.value * 10 + (body[i] - '0');
            ++i;
        }
        for (; i < body.size(); ++i) {
            if (body[i] != '\'' && body[i] != ',') {
                fail(line, "'" + token + "': a chord tone is a number followed by ' or ,");
            }
            step.octaves += body[i] == '\'' ? 1 : -1;
        }
        step.kind = Step::Kind::ChordTone;
        return step;
    }
    const auto note = noteNumber(body);
    if (!note) {
        fail(line, "'" + token + "' is not a note, a chord tone, '*', '-' or '.'");
    }
    step.kind = Step::Kind::Note;
    step.value = *note;
    return step;
}

Step parseHitStep(const std::string& token, const DescriptionLine& line) {
    Step step;
    if (token == "." || token == "-") {
        return step;
    }
    step.kind = Step::Kind::Hit;
    if (token == "x") {
        return step;
    }
    if (token == "X") {
        step.velocity = 1.35f;
        return step;
    }
    if (token == "o") {
        step.velocity = 0.5f;
        return step;
    }
    fail(line, "'" + token + "' is not a drum step (x, X accent, o soft, '.' rest)");
}

} // namespace

void appendSteps(PatternRow& row, const std::vector<std::string>& tokens, std::size_t first,
                 int grid, bool hits, const DescriptionLine& line) {
    bool barred = false;
    for (std::size_t i = first; i < tokens.size(); ++i) {
        barred = barred || tokens[i] == "|";
    }
    int inBar = 0;
    for (std::size_t i = first; i <= tokens.size(); ++i) {
        if (i == tokens.size() || tokens[i] == "|") {
            if (barred && inBar != 0 && inBar != grid) {
                fail(line, "a bar holds " + std::to_string(inBar) + " steps instead of " +
                               std::to_string(grid));
            }
            inBar = 0;
            continue;
        }
        row.steps.push_back(hits ? parseHitStep(tokens[i], line) : parseNoteStep(tokens[i], line));
        ++inBar;
    }
}

} // namespace sfxgen
