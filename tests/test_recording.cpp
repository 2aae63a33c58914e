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
#include <functional>

namespace {

using namespace testsupport;

Controls held(bool left, bool right, bool jump) {
    Controls controls;
    controls.left = left;
    controls.right = right;
    controls.jump = jump;
    return controls;
}

// Level 2 played for four steps and a half: two idle steps, one driving right, and a long frame
// split in two steps of 8 ms with a jump.
Recording sample() {
    Recording recording({1280, 720});
    Recording::Level level;
    level.number = 2;
    level.hash = 0xff;
    level.add(sf::microseconds(16666), {});
    level.add(sf::microseconds(16666), {});
    level.add(sf::microseconds(16666), held(false, true, false));
    level.add(sf::microseconds(8000), held(false, true, true));
    level.add(sf::microseconds(8000), held(false, true, true));
    level.end = Recording::End::Cleared;
    level.tanksLost = 3;
    recording.levels.push_back(level);
    return recording;
}

const std::string SampleText = std::string("quellix-replay 1\n") + "game " + BuildInfo::Version +
                               "\n" + "layout 1280 720\n" +
                               "level 2 Levels/Level2.lua 00000000000000ff\n" + "16666 - 2\n" +
                               "16666 R\n" + "8000 RJ 2\n" + "end cleared 3\n";

std::string replaced(std::string text, const std::string& what, const std::string& with) {
    const std::size_t at = text.find(what);
    EXPECT_NE(at, std::string::npos) << what;
    return at == std::string::npos ? text : text.replace(at, what.size(), with);
}

TEST(RecordingText, EqualStepsShareALineAndTheTextReadsBackTheSame) {
    const Recording recording = sample();
    EXPECT_EQ(recording.text(), SampleText);
    EXPECT_EQ(recording.levels[0].time(), sf::microseconds(65998));
    EXPECT_EQ(recording.levels[0].stepCount(), 5);

    std::string problem;
    const std::optional<Recording> read = Recording::parse(SampleText, problem);
    ASSERT_TRUE(read) << problem;
    EXPECT_EQ(read->text(), SampleText);
    EXPECT_EQ(read->layout, sf::Vector2u(1280, 720));
    ASSERT_EQ(read->levels.size(), 1u);
    const Recording::Steps& jump = read->levels[0].steps[2];
    EXPECT_EQ(jump.micros, 8000);
    EXPECT_EQ(jump.count, 2);
    EXPECT_TRUE(jump.controls.right && jump.controls.jump && !jump.controls.left);
    EXPECT_EQ(read->levels[0].end, Recording::End::Cleared);
    EXPECT_EQ(read->levels[0].tanksLost, 3);

    const std::string twoLevels = SampleText + "level 3 Levels/Level3.lua 0123456789abcdef\n" +
                                  "0 L\n" + "end over 25 612.5 -0.100000001\n";
    const std::optional<Recording> both = Recording::parse(twoLevels, problem);
    ASSERT_TRUE(both) << problem;
    ASSERT_EQ(both->levels.size(), 2u);
    EXPECT_EQ(both->levels[1].hash, 0x0123456789abcdefull);
    EXPECT_EQ(both->levels[1].end, Recording::End::GameOver);
    EXPECT_EQ(both->levels[1].tank, sf::Vector2f(612.5f, -0.1f)) << "floats read back exactly";
    EXPECT_FALSE(both->levels[0].tank);
    EXPECT_EQ(both->text(), twoLevels);
}

TEST(RecordingText, ADamagedRecordingIsRefusedWithWhatIsWrongAndWhere) {
    // clang-format off
    const struct { std::string text; std::string problem; } cases[] = {
        {"", "this is not a Quellix replay"},
        {"\x89PNG\r\n\x1a\n", "line 1: this is not a Quellix replay"},
        {replaced(SampleText, "replay 1", "replay 2"),
         "line 1: it is a replay of format 2, and this game reads format 1"},
        {replaced(SampleText, "replay 1", "replay one"), "line 1: the format's number is unreadable"},
        {replaced(SampleText, "game ", "version "), "line 2: the game's version should follow"},
        {replaced(SampleText, "720", "72"), "line 3: the layout 1280x72 is not one the game plays in"},
        {replaced(SampleText, "Level2.lua", "Level3.lua"),
         "line 4: level 2 is played from Levels/Level2.lua, not Levels/Level3.lua"},
        {replaced(SampleText, "00000000000000ff", "ff"),
         "line 4: the level's hash should be 16 hexadecimal digits"},
        {replaced(SampleText, "16666 R", "16667 R"),
         "line 6: a step of 16667 microseconds; a step lasts at most 16666"},
        {replaced(SampleText, "16666 R", "16666 RL"), "line 6: a step should be here"},
        {replaced(SampleText, "RJ 2", "RJ 0"), "line 7: a step repeated 0 times"},
        {replaced(SampleText, "end cleared 3\n", ""), "line 7: the file ends in the middle of level 2"},
        {replaced(SampleText, "cleared", "won"), "line 8: a level's end should be here"},
        {replaced(SampleText, "cleared 3", "cleared 3 612.5"), "line 8: a level's end should be here"},
        {replaced(SampleText, "cleared 3", "cleared 3 nan 1"), "line 8: a level's end should be here"},
        {replaced(SampleText, "cleared 3\n", "cleared 3"),
         "the file is cut short (its last line has no line end)"},
        {SampleText.substr(0, SampleText.find("level")), "line 3: it plays no level"},
    };
    // clang-format on
    for (const auto& bad : cases) {
        std::string problem;
        EXPECT_FALSE(Recording::parse(bad.text, problem)) << bad.text;
        EXPECT_EQ(problem.rfind(bad.problem, 0), 0u) << problem;
    }
}

// A data folder with level 2 as the sample was recorded on.
class RecordingFiles : public ::testing::Test {
protected:
    RecordingFiles() {
        writeFile(dir / "Levels" / "Level2.lua", "return {} -- level 2");
        recording.levels[0].hash = Recording::hash("return {} -- level 2");
    }

    TempDir dir;
    ScopedCwd cwd{dir.path()};
    Recording recording = sample();
};

TEST_F(RecordingFiles, AMismatchedRecordingIsRefusedWithItsReason) {
    EXPECT_EQ(recording.mismatch(), "");

    Recording older = recording;
    older.version = "0.9.0";
    EXPECT_EQ(older.mismatch(), std::string("it was recorded by Quellix 0.9.0, and this is ") +
                                    "Quellix " + BuildInfo::Version +
                                    "; a replay plays only in the version that recorded it");

    writeFile(dir / "Levels" / "Level2.lua", "return {} -- level 2, moved a block");
    EXPECT_EQ(recording.mismatch(), "level 2 has changed since it was recorded "
                                    "(Levels/Level2.lua is not the file it was played on)");
    fs::remove(dir / "Levels" / "Level2.lua");
    EXPECT_EQ(recording.mismatch(), "it plays level 2, and Levels/Level2.lua cannot be read");
}

TEST_F(RecordingFiles, AFileIsWrittenForItsPlayerAloneAndOnlyARegularFileIsRead) {
    std::string problem;
    ASSERT_TRUE(recording.write(dir / "run.replay", problem)) << problem;
    struct stat status {};
    ASSERT_EQ(::stat((dir / "run.replay").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    const std::optional<Recording> read = Recording::read(dir / "run.replay", problem);
    ASSERT_TRUE(read) << problem;
    EXPECT_EQ(read->text(), recording.text());

    EXPECT_FALSE(Recording::read(dir / "none.replay", problem));
    EXPECT_EQ(problem, "there is no such file");
    ASSERT_EQ(mkfifo((dir / "pipe.replay").c_str(), 0600), 0);
    EXPECT_FALSE(Recording::read(dir / "pipe.replay", problem)) << "without waiting for a writer";
    EXPECT_EQ(problem, "is not a regular file");
}

// A player's runs of level 2, each its own recording.
class PlayerRunFiles : public RecordingFiles {
protected:
    Recording run(int seconds, Recording::End end, int tanksLost = 0) const {
        Recording played({1280, 720});
        Recording::Level level = recording.levels[0];
        level.steps.clear();
        level.add(sf::milliseconds(10), {});
        level.steps[0].count = seconds * 100;
        level.end = end;
        level.tanksLost = tanksLost;
        played.levels.push_back(level);
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

    PlayerRuns runs{dir / "User", "Ann"};
};

TEST_F(PlayerRunFiles, TheBestTimeIsKeptOnlyWhenBeaten) {
    fs::create_directories(dir / "User");
    // clang-format off
    const struct { int seconds; Recording::End end; int tanksLost; std::pair<int, int> best; } runsInOrder[] = {
        {90, Recording::End::Stopped,  0, {-1, -1}}, // not cleared: no best yet
        {80, Recording::End::Cleared,  4, {80, 4}},
        {85, Recording::End::Cleared,  0, {80, 4}},  // slower, fewer tanks lost
        {70, Recording::End::GameOver, 25, {80, 4}}, // a lost level has no time
        {70, Recording::End::Stopped,  1, {80, 4}},
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

    // A damaged one is named once and beaten too.
    writeFile(runs.bestFile(2), "quellix-replay 1\ngame");
    CaptureErrors errors;
    runs.keep(run(120, Recording::End::Cleared, 6));
    EXPECT_EQ(errors.text(), runs.bestFile(2).string() +
                                 ": the file is cut short (its last line has no line end); the "
                                 "level has no best run to beat or watch\n");
    EXPECT_EQ(best(), std::make_pair(120, 6));
}

TEST_F(PlayerRunFiles, TheLastTenRunsAreKeptNewestFirstBesideThePlayersFile) {
    fs::create_directories(dir / "User");
    // Another player whose name starts with Ann's, and whose run is not Ann's to remove.
    writeFile(dir / "User" / "Ann.run-1.run-1.replay", "Ann.run-1's");
    for (int seconds = 1; seconds <= 12; ++seconds)
        runs.keep(run(seconds, Recording::End::Stopped));
    const std::vector<fs::path> recent = runs.recent();
    ASSERT_EQ(recent.size(), 10u);
    for (std::size_t i = 0; i < recent.size(); ++i) {
        EXPECT_EQ(recent[i], dir / "User" / ("Ann.run-" + std::to_string(12 - i) + ".replay"));
        std::string problem;
        const std::optional<Recording> kept = Recording::read(recent[i], problem);
        ASSERT_TRUE(kept) << problem;
        EXPECT_EQ(kept->levels[0].time(), sf::seconds(static_cast<float>(12 - i)))
            << "run " << 12 - i;
        struct stat status {};
        ASSERT_EQ(::stat(recent[i].c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0600u);
    }
    EXPECT_FALSE(fs::exists(dir / "User" / "Ann.run-2.replay"));
    EXPECT_EQ(readFile(dir / "User" / "Ann.run-1.run-1.replay"), "Ann.run-1's");
    EXPECT_FALSE(runs.best(2)) << "no run cleared the level";
}

} // namespace
