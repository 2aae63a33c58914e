// Recordings of play: the text a run is kept as, the files that are refused and why, and a
// player's runs beside their file (the best of each level, the last ten).
#include "replay/PlayerRuns.hpp"
#include "replay/Recording.hpp"

#include "CaptureErrors.hpp"
#include "TestSupport.hpp"

#include "core/BuildInfo.hpp"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>

namespace {

using namespace testsupport;

// Level 2: two idle steps, one driving right, and a long frame split in two steps of 8 ms with a
// jump, cleared with 3 tanks lost.
const std::string Sample = std::string("quellix-replay 1\ngame ") + BuildInfo::Version +
                           "\nlayout 1280 720\nlevel 2 Levels/Level2.lua 00000000000000ff\n"
                           "16666 - 2\n16666 R\n8000 RJ 2\nend cleared 3\n";

std::string replaced(std::string text, const std::string& what, const std::string& with) {
    return text.replace(text.find(what), what.size(), with);
}

TEST(RecordingText, EqualStepsShareALineAndTheTextReadsBackTheSame) {
    Recording recording({1280, 720});
    Recording::Level& level = recording.levels.emplace_back();
    level.number = 2;
    level.hash = 0xff;
    Controls right, rightJump;
    right.right = rightJump.right = rightJump.jump = true;
    for (const auto& [micros, held] : {std::pair{16666, Controls()},
                                       {16666, Controls()},
                                       {16666, right},
                                       {8000, rightJump},
                                       {8000, rightJump}})
        level.add(sf::microseconds(micros), held);
    level.end = Recording::End::Cleared;
    level.tanksLost = 3;
    EXPECT_EQ(recording.text(), Sample);
    EXPECT_EQ(level.time(), sf::microseconds(65998));

    const std::string twoLevels = Sample + "level 3 Levels/Level3.lua 0123456789abcdef\n0 L\n" +
                                  "end over 25 612.5 -0.100000001\n";
    std::string problem;
    const std::optional<Recording> read = Recording::parse(twoLevels, problem);
    ASSERT_TRUE(read) << problem;
    EXPECT_EQ(read->text(), twoLevels);
    ASSERT_EQ(read->levels.size(), 2u);
    EXPECT_EQ(read->levels[1].hash, 0x0123456789abcdefull);
    EXPECT_EQ(read->levels[1].end, Recording::End::GameOver);
    EXPECT_EQ(read->levels[1].tank, sf::Vector2f(612.5f, -0.1f)) << "floats read back exactly";
}

TEST(RecordingText, ADamagedRecordingIsRefusedWithWhatIsWrongAndWhere) {
    // clang-format off
    const struct { std::string text; std::string problem; } cases[] = {
        {"\x89PNG\r\n\x1a\n", "line 1: this is not a Quellix replay"},
        {replaced(Sample, "replay 1", "replay 2"), "line 1: it is a replay of format 2, and this game reads format 1"},
        {replaced(Sample, "game ", "version "), "line 2: the game's version should follow"},
        {replaced(Sample, "720", "72"), "line 3: the layout 1280x72 is not one the game plays in"},
        {replaced(Sample, "Level2.lua", "Level3.lua"), "line 4: level 2 is played from Levels/Level2.lua, not Levels/Level3.lua"},
        {replaced(Sample, "00000000000000ff", "ff"), "line 4: the level's hash should be 16 hexadecimal digits"},
        {replaced(Sample, "16666 R", "16667 R"), "line 6: a step of 16667 microseconds; a step lasts at most 16666"},
        {replaced(Sample, "16666 R", "16666 RL"), "line 6: a step should be here"},
        {replaced(Sample, "RJ 2", "RJ 0"), "line 7: a step repeated 0 times"},
        {replaced(Sample, "end cleared 3\n", ""), "line 7: the file ends in the middle of level 2"},
        {replaced(Sample, "cleared 3", "won 3"), "line 8: a level's end should be here"},
        {replaced(Sample, "cleared 3", "cleared 3 nan 1"), "line 8: a level's end should be here"},
        {replaced(Sample, "3\n", "3"), "the file is cut short (its last line has no line end)"},
        {Sample.substr(0, Sample.find("level")), "line 3: it plays no level"},
    };
    // clang-format on
    for (const auto& bad : cases) {
        std::string problem;
        EXPECT_FALSE(Recording::parse(bad.text, problem)) << bad.text;
        EXPECT_EQ(problem.rfind(bad.problem, 0), 0u) << problem;
    }
}

// A data folder with the level 2 that the runs are played on.
class PlayerRunFiles : public ::testing::Test {
protected:
    PlayerRunFiles() {
        writeFile(dir / "Levels" / "Level2.lua", "return {} -- level 2");
        fs::create_directories(dir / "User");
    }

    // A run of level 2 of whole seconds, in steps of 10 ms.
    static Recording run(int seconds, Recording::End end, int tanksLost = 0) {
        std::string problem;
        Recording played = *Recording::parse(Sample, problem);
        Recording::Level& level = played.levels[0];
        level.hash = Recording::hash("return {} -- level 2");
        level.steps = {{10000, Controls(), seconds * 100}};
        level.end = end;
        level.tanksLost = tanksLost;
        return played;
    }

    // The best run's time in whole seconds and its tanks lost; -1 when there is none.
    std::pair<int, int> best() const {
        const std::optional<Recording> kept = runs.best(2);
        if (!kept)
            return {-1, -1};
        const Recording::Level& level = kept->levels[0];
        return {static_cast<int>(std::lround(level.time().asSeconds())), level.tanksLost};
    }

    TempDir dir;
    ScopedCwd cwd{dir.path()};
    PlayerRuns runs{dir / "User", "Ann"};
};

TEST_F(PlayerRunFiles, AMismatchedOrIrregularFileIsRefusedWithItsReason) {
    Recording recording = run(1, Recording::End::Stopped);
    EXPECT_EQ(recording.mismatch(), "");
    recording.version = "0.9.0";
    EXPECT_EQ(recording.mismatch(), std::string("it was recorded by Quellix 0.9.0, and this is ") +
                                        "Quellix " + BuildInfo::Version +
                                        "; a replay plays only in the version that recorded it");
    recording.version = BuildInfo::Version;
    writeFile(dir / "Levels" / "Level2.lua", "return {} -- level 2, a block moved");
    EXPECT_EQ(recording.mismatch(), "level 2 has changed since it was recorded "
                                    "(Levels/Level2.lua is not the file it was played on)");
    fs::remove(dir / "Levels" / "Level2.lua");
    EXPECT_EQ(recording.mismatch(), "it plays level 2, and Levels/Level2.lua cannot be read");

    std::string problem;
    ASSERT_EQ(mkfifo((dir / "pipe.replay").c_str(), 0600), 0);
    EXPECT_FALSE(Recording::read(dir / "pipe.replay", problem)) << "without waiting for a writer";
    EXPECT_EQ(problem, "is not a regular file");
}

TEST_F(PlayerRunFiles, TheBestTimeIsKeptOnlyWhenBeaten) {
    // clang-format off
    const struct { int seconds; Recording::End end; int tanksLost; std::pair<int, int> best; } runsInOrder[] = {
        {90, Recording::End::Stopped,  0, {-1, -1}}, // not cleared: no best yet
        {80, Recording::End::Cleared,  4, {80, 4}},
        {85, Recording::End::Cleared,  0, {80, 4}},  // slower, fewer tanks lost
        {70, Recording::End::GameOver, 25, {80, 4}}, // a lost level has no time
        {80, Recording::End::Cleared,  2, {80, 4}},  // as fast is not faster
        {75, Recording::End::Cleared,  3, {75, 3}},
    };
    // clang-format on
    for (const auto& played : runsInOrder) {
        runs.keep(run(played.seconds, played.end, played.tanksLost));
        EXPECT_EQ(best(), played.best) << played.seconds << " s";
    }
    // A best run that no longer plays here (another version) is beaten by any clear.
    Recording older = run(10, Recording::End::Cleared);
    older.version = "0.9.0";
    std::string problem;
    ASSERT_TRUE(older.write(runs.bestFile(2), problem));
    runs.keep(run(100, Recording::End::Cleared, 5));
    EXPECT_EQ(best(), std::make_pair(100, 5));
    // A damaged one is named and beaten too.
    writeFile(runs.bestFile(2), "quellix-replay 1\ngame");
    CaptureErrors errors;
    runs.keep(run(120, Recording::End::Cleared, 6));
    EXPECT_EQ(errors.text(), runs.bestFile(2).string() +
                                 ": the file is cut short (its last line has no line end); the "
                                 "level has no best run to beat or watch\n");
    EXPECT_EQ(best(), std::make_pair(120, 6));
}

TEST_F(PlayerRunFiles, TheLastTenRunsAreKeptForThePlayerAlone) {
    // Another player whose name starts with Ann's, and whose run is not Ann's to remove.
    writeFile(dir / "User" / "Ann.run-1.run-1.replay", "Ann.run-1's");
    for (int seconds = 1; seconds <= 12; ++seconds)
        runs.keep(run(seconds, Recording::End::Stopped));
    for (int number = 1; number <= 12; ++number) {
        const fs::path file = dir / "User" / ("Ann.run-" + std::to_string(number) + ".replay");
        struct stat status {};
        ASSERT_EQ(::stat(file.c_str(), &status) == 0, number > 2) << file;
        if (number > 2) {
            EXPECT_EQ(status.st_mode & 0777, 0600u) << file;
        }
    }
    EXPECT_EQ(readFile(dir / "User" / "Ann.run-1.run-1.replay"), "Ann.run-1's");
}

} // namespace
