#include "replay/PlayerRuns.hpp"

#include <algorithm>
#include <iostream>
#include <system_error>

namespace fs = std::filesystem;

namespace {
const std::string RunPrefix = ".run-";
const std::string Extension = ".replay";
} // namespace

PlayerRuns::PlayerRuns(fs::path folder, std::string name)
    : folder(std::move(folder)), name(std::move(name)) {}

fs::path PlayerRuns::bestFile(int level) const {
    return folder / (name + ".level" + std::to_string(level) + "-best" + Extension);
}

fs::path PlayerRuns::runFile(long long number) const {
    return folder / (name + RunPrefix + std::to_string(number) + Extension);
}

std::vector<long long> PlayerRuns::runNumbers() const {
    // Another player's name may start with this one's: only digits may stand between the
    // prefix and the extension.
    const std::string prefix = name + RunPrefix;
    std::vector<long long> numbers;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string file = it->path().filename().string();
        if (file.size() <= prefix.size() + Extension.size() || file.rfind(prefix, 0) != 0 ||
            file.compare(file.size() - Extension.size(), Extension.size(), Extension) != 0)
            continue;
        const std::string digits =
            file.substr(prefix.size(), file.size() - prefix.size() - Extension.size());
        if (digits.size() <= 15 &&
            std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            numbers.push_back(std::stoll(digits));
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

void PlayerRuns::keep(const Recording& run) const {
    if (run.empty())
        return;
    std::string problem;
    const std::vector<long long> numbers = runNumbers();
    const long long number = numbers.empty() ? 1 : numbers.back() + 1;
    if (!run.write(runFile(number), problem))
        std::cerr << runFile(number).string() << ": " << problem << "; the run is not kept\n";
    for (const long long old : numbers)
        if (old <= number - KeptRuns) {
            std::error_code ignored;
            fs::remove(runFile(old), ignored);
        }

    const Recording::Level& level = run.levels.front();
    if (level.end != Recording::End::Cleared)
        return;
    const std::optional<Recording> best = this->best(level.number);
    if (best && best->levels.front().time() <= level.time())
        return;
    if (!run.write(bestFile(level.number), problem))
        std::cerr << bestFile(level.number).string() << ": " << problem
                  << "; the level's best run is not kept\n";
}

std::optional<Recording> PlayerRuns::best(int level) const {
    std::string problem;
    std::optional<Recording> run = Recording::read(bestFile(level), problem);
    if (!run && problem != "there is no such file")
        std::cerr << bestFile(level).string() << ": " << problem
                  << "; the level has no best run to beat or watch\n";
    // A best run is one cleared run of the level itself.
    if (!run || run->levels.size() != 1 || run->levels.front().number != level ||
        run->levels.front().end != Recording::End::Cleared || !run->mismatch().empty())
        return std::nullopt;
    return run;
}
