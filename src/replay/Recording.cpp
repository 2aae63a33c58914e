#include "replay/Recording.hpp"

#include "actors/Player.hpp"
#include "actors/Tank.hpp"
#include "core/BuildInfo.hpp"
#include "screens/UserFiles.hpp"
#include "world/Physics.hpp"
#include "world/World.hpp"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace {

const char* const Magic = "quellix-replay";
// Laid out any narrower, a map cell would be under ten pixels wide; the world lays play out at
// most 1920 pixels wide, and no screen is taller than it is wide by much.
const unsigned MinLayoutWidth = 300, MaxLayoutWidth = 1920;
const unsigned MinLayoutHeight = 100, MaxLayoutHeight = 3840;
const std::int32_t MaxRepeat = 1000000;
// The level files the game reads are well under this; a level script may be no larger.
const std::size_t MaxLevelFileBytes = 64 * 1024 * 1024;

bool sameControls(const Controls& a, const Controls& b) {
    return a.left == b.left && a.right == b.right && a.jump == b.jump;
}

std::string controlsText(const Controls& controls) {
    std::string text;
    text += controls.left ? "L" : "";
    text += controls.right ? "R" : "";
    text += controls.jump ? "J" : "";
    return text.empty() ? "-" : text;
}

bool readControls(const std::string& word, Controls& controls) {
    controls = Controls();
    if (word == "-")
        return true;
    std::size_t at = 0;
    const auto take = [&](char letter, bool& field) {
        if (at < word.size() && word[at] == letter) {
            field = true;
            ++at;
        }
    };
    take('L', controls.left);
    take('R', controls.right);
    take('J', controls.jump);
    return !word.empty() && at == word.size();
}

template <typename Number> bool readNumber(const std::string& word, Number& number) {
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), number);
    return error == std::errc() && end == word.data() + word.size() && !word.empty();
}

const struct {
    Recording::End end;
    const char* word;
} EndWords[] = {{Recording::End::Cleared, "cleared"},
                {Recording::End::GameOver, "over"},
                {Recording::End::Stopped, "stopped"}};

std::string hashText(std::uint64_t hash) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

// As many digits as read back to the same float.
std::string exactly(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
}

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> split;
    for (std::string word; in >> word;)
        split.push_back(word);
    return split;
}

// Reads the lines of a recording one after the other; each read fails with the line's number.
class Parser {
public:
    Parser(const std::string& text, std::string& problem)
        : in(text), problem(problem), cutShort(!text.empty() && text.back() != '\n') {}

    std::optional<Recording> run() {
        Recording recording;
        // Every line ends with a line break: a file without one at its end was cut short.
        if (cutShort) {
            fail("the file is cut short (its last line has no line end)");
            return std::nullopt;
        }
        if (!readAll(recording))
            return std::nullopt;
        return recording;
    }

private:
    bool readAll(Recording& recording) {
        std::vector<std::string> line;
        if (!next(line) || line.empty() || line[0] != Magic)
            return fail("this is not a Quellix replay (it does not start with \"" +
                        std::string(Magic) + "\")");
        int format = 0;
        if (line.size() != 2 || !readNumber(line[1], format))
            return fail("the format's number is unreadable");
        if (format != Recording::Format)
            return fail("it is a replay of format " + line[1] + ", and this game reads format " +
                        std::to_string(Recording::Format));
        if (!next(line) || line.size() != 2 || line[0] != "game")
            return fail("the game's version should follow, as \"game VERSION\"");
        recording.version = line[1];
        unsigned width = 0, height = 0;
        if (!next(line) || line.size() != 3 || line[0] != "layout" || !readNumber(line[1], width) ||
            !readNumber(line[2], height))
            return fail("the layout should follow, as \"layout WIDTH HEIGHT\"");
        if (width < MinLayoutWidth || width > MaxLayoutWidth || height < MinLayoutHeight ||
            height > MaxLayoutHeight)
            return fail("the layout " + line[1] + "x" + line[2] + " is not one the game plays in");
        recording.layout = {width, height};
        while (next(line)) {
            Recording::Level level;
            if (!readLevel(line, level))
                return false;
            recording.levels.push_back(std::move(level));
        }
        return !recording.levels.empty() || fail("it plays no level");
    }

    bool next(std::vector<std::string>& line) {
        std::string text;
        if (!std::getline(in, text))
            return false;
        ++number;
        line = words(text);
        return true;
    }

    bool fail(const std::string& what) {
        problem = number > 0 ? "line " + std::to_string(number) + ": " + what : what;
        return false;
    }

    bool readLevel(std::vector<std::string>& line, Recording::Level& level) {
        if (line.size() != 4 || line[0] != "level" || !readNumber(line[1], level.number) ||
            level.number < 1)
            return fail("a level should start here, as \"level N FILE HASH\"");
        if (line[2] != World::levelFile(level.number))
            return fail("level " + line[1] + " is played from " + World::levelFile(level.number) +
                        ", not " + line[2]);
        if (line[3].size() != 16 || !readHash(line[3], level.hash))
            return fail("the level's hash should be 16 hexadecimal digits");
        while (next(line)) {
            if (!line.empty() && line[0] == "end")
                return readEnd(line, level);
            Recording::Steps steps;
            if (line.size() < 2 || line.size() > 3 || !readNumber(line[0], steps.micros) ||
                !readControls(line[1], steps.controls) ||
                (line.size() == 3 && !readNumber(line[2], steps.count)))
                return fail("a step should be here, as \"MICROSECONDS CONTROLS [COUNT]\"");
            const std::int32_t longest = static_cast<std::int32_t>(Physics::Step.asMicroseconds());
            if (steps.micros < 0 || steps.micros > longest)
                return fail("a step of " + line[0] + " microseconds; a step lasts at most " +
                            std::to_string(longest));
            if (steps.count < 1 || steps.count > MaxRepeat)
                return fail("a step repeated " + line[2] + " times; at most " +
                            std::to_string(MaxRepeat) + " are written on one line");
            level.steps.push_back(steps);
        }
        return fail("the file ends in the middle of level " + std::to_string(level.number));
    }

    bool readEnd(const std::vector<std::string>& line, Recording::Level& level) {
        sf::Vector2f tank;
        const bool withTank = line.size() == 5 && readNumber(line[3], tank.x) &&
                              readNumber(line[4], tank.y) && std::isfinite(tank.x) &&
                              std::isfinite(tank.y);
        if (withTank)
            level.tank = tank;
        for (const auto& [end, word] : EndWords)
            if ((line.size() == 3 || withTank) && line[1] == word &&
                readNumber(line[2], level.tanksLost) && level.tanksLost >= 0) {
                level.end = end;
                return true;
            }
        return fail("a level's end should be here, as \"end cleared|over|stopped TANKS [X Y]\"");
    }

    static bool readHash(const std::string& word, std::uint64_t& hash) {
        const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), hash, 16);
        return error == std::errc() && end == word.data() + word.size();
    }

    std::istringstream in;
    std::string& problem;
    bool cutShort;
    int number = 0;
};

} // namespace

void Recording::Level::add(sf::Time step, const Controls& acting) {
    const auto micros = static_cast<std::int32_t>(step.asMicroseconds());
    if (!steps.empty() && steps.back().micros == micros &&
        sameControls(steps.back().controls, acting) && steps.back().count < MaxRepeat)
        ++steps.back().count;
    else
        steps.push_back({micros, acting, 1});
}

sf::Time Recording::Level::time() const {
    sf::Int64 micros = 0;
    for (const Steps& run : steps)
        micros += static_cast<sf::Int64>(run.micros) * run.count;
    return sf::microseconds(micros);
}

Recording::Recording(sf::Vector2u layout) : version(BuildInfo::Version), layout(layout) {}

std::string Recording::text() const {
    std::ostringstream out;
    out << Magic << " " << Format << "\ngame " << version << "\nlayout " << layout.x << " "
        << layout.y << "\n";
    for (const Level& level : levels) {
        out << "level " << level.number << " " << World::levelFile(level.number) << " "
            << hashText(level.hash) << "\n";
        for (const Steps& run : level.steps) {
            out << run.micros << " " << controlsText(run.controls);
            if (run.count > 1)
                out << " " << run.count;
            out << "\n";
        }
        out << "end " << describe(level.end) << " " << level.tanksLost;
        if (level.tank)
            out << " " << exactly(level.tank->x) << " " << exactly(level.tank->y);
        out << "\n";
    }
    return out.str();
}

std::optional<Recording> Recording::parse(const std::string& text, std::string& problem) {
    return Parser(text, problem).run();
}

std::optional<Recording> Recording::read(const std::filesystem::path& file, std::string& problem) {
    std::string content;
    if (!UserFiles::readSmallFile(file, MaxFileBytes, content, problem)) {
        if (problem.empty())
            problem = "there is no such file";
        return std::nullopt;
    }
    return parse(content, problem);
}

bool Recording::write(const std::filesystem::path& file, std::string& problem) const {
    return UserFiles::replaceFile(file, text(), problem);
}

std::string Recording::mismatch() const {
    if (version != BuildInfo::Version)
        return "it was recorded by Quellix " + version + ", and this is Quellix " +
               BuildInfo::Version + "; a replay plays only in the version that recorded it";
    for (const Level& level : levels) {
        const std::optional<std::uint64_t> now = levelHash(level.number);
        if (!now)
            return "it plays level " + std::to_string(level.number) + ", and " +
                   World::levelFile(level.number) + " cannot be read";
        if (*now != level.hash)
            return "level " + std::to_string(level.number) +
                   " has changed since it was recorded (" + World::levelFile(level.number) +
                   " is not the file it was played on)";
    }
    return {};
}

std::uint64_t Recording::hash(const std::string& content) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const char byte : content) {
        hash ^= static_cast<unsigned char>(byte);
        hash *= 0x100000001b3ull;
    }
    return hash;
}

std::optional<std::uint64_t> Recording::levelHash(int level) {
    std::string content;
    std::string problem;
    if (!UserFiles::readSmallFile(World::levelFile(level), MaxLevelFileBytes, content, problem))
        return std::nullopt;
    return hash(content);
}

std::string Recording::describe(End end) {
    for (const auto& [kind, word] : EndWords)
        if (kind == end)
            return word;
    return "stopped";
}

bool Recording::Outcome::operator==(const Outcome& other) const {
    return level == other.level && time == other.time && tanksLost == other.tanksLost &&
           end == other.end && tank == other.tank;
}

Recording::Outcome Recording::standing(const World& world, End end) {
    Outcome outcome{world.getLevel(), world.getLevelTime(), world.getTanksLost(), end, {}};
    const Tank* tank = world.getPlayer() ? world.getPlayer()->getTank() : nullptr;
    if (tank && !tank->isDestroyed())
        outcome.tank = tank->getPosition();
    return outcome;
}

std::string Recording::describe(const Outcome& outcome) {
    const char* how = outcome.end == End::Cleared    ? " cleared"
                      : outcome.end == End::GameOver ? " lost (game over)"
                                                     : " in play";
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", outcome.time.asSeconds());
    return "level " + std::to_string(outcome.level) + how + " at " + seconds + " s with " +
           std::to_string(outcome.tanksLost) + " tanks lost, " +
           (outcome.tank
                ? "the tank at (" + exactly(outcome.tank->x) + ", " + exactly(outcome.tank->y) + ")"
                : std::string("no tank in play"));
}
