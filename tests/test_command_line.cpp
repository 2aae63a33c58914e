// The command line: each option, values given both ways, mistakes, and what --help, --version and
// a mistake print where, with which exit status.
#include "core/CommandLine.hpp"
#include "core/WindowControl.hpp"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

namespace {

struct Answer {
    std::optional<int> status;
    std::string out;
    std::string err;
};

Answer answer(const std::vector<std::string>& arguments) {
    std::ostringstream out, err;
    const std::optional<int> status = CommandLine(arguments).answer(out, err);
    return {status, out.str(), err.str()};
}

TEST(CommandLine, NoArgumentsPlayFullscreenFromTheUsualPlaces) {
    const CommandLine line(std::vector<std::string>{});
    EXPECT_FALSE(line.options().windowed);
    EXPECT_FALSE(line.options().dataFolder);
    const Answer result = answer({});
    EXPECT_FALSE(result.status);
    EXPECT_EQ(result.out + result.err, "");
}

TEST(CommandLine, WindowedAndDataAreReadInAnyOrder) {
    const CommandLine line({"--data", "some/where", "--windowed"});
    EXPECT_TRUE(line.options().windowed);
    ASSERT_TRUE(line.options().dataFolder);
    EXPECT_EQ(*line.options().dataFolder, "some/where");
    EXPECT_FALSE(answer({"--data", "some/where", "--windowed"}).status) << "the game starts";
}

TEST(CommandLine, DemoFixedStepAndTheLevelToEndAfter) {
    const CommandLine none(std::vector<std::string>{});
    EXPECT_FALSE(none.options().demo);
    EXPECT_FALSE(none.options().fixedStep);
    EXPECT_EQ(none.options().exitAfterLevel, 0);
    const CommandLine line({"--exit-after-level", "8", "--demo", "--fixed-step"});
    EXPECT_TRUE(line.options().demo);
    EXPECT_TRUE(line.options().fixedStep);
    EXPECT_EQ(line.options().exitAfterLevel, 8);
    EXPECT_EQ(CommandLine({"--exit-after-level=12"}).options().exitAfterLevel, 12);
    EXPECT_FALSE(answer({"--demo", "--fixed-step", "--exit-after-level", "8"}).status);
    EXPECT_EQ(none.options().reactionMs, 0);
    EXPECT_EQ(CommandLine({"--demo", "--reaction", "250"}).options().reactionMs, 250);
    EXPECT_EQ(CommandLine({"--reaction=0"}).options().reactionMs, 0);
}

TEST(CommandLine, ReplayAndRecordNameTheirFiles) {
    EXPECT_EQ(CommandLine({"--replay", "runs/best.replay"}).options().replayFile,
              "runs/best.replay");
    EXPECT_EQ(CommandLine({"--demo", "--record=demo.replay"}).options().recordFile, "demo.replay");
    EXPECT_FALSE(CommandLine(std::vector<std::string>{}).options().replayFile);
}

TEST(CommandLine, DataTakesItsValueAfterAnEqualsSignToo) {
    const CommandLine line({"--data=/opt/quellix data"});
    ASSERT_TRUE(line.options().dataFolder);
    EXPECT_EQ(*line.options().dataFolder, "/opt/quellix data");
}

TEST(CommandLine, ArgcArgvSkipsTheProgramsName) {
    const char* argv[] = {"quellix", "--windowed", nullptr};
    EXPECT_TRUE(CommandLine(2, argv).options().windowed);
    EXPECT_FALSE(CommandLine(1, argv).options().windowed);
    EXPECT_FALSE(CommandLine(0, argv).options().windowed);
}

TEST(CommandLine, HelpPrintsTheUsageOnStandardOutputAndEndsWithZero) {
    const Answer result = answer({"--windowed", "--help"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out.rfind("Usage: quellix [OPTION]...\n", 0), 0u) << result.out;
    // The option texts line up after the longest option.
    for (const char* line :
         {"\n  --help                show this help and exit\n",
          "\n  --version             show the version and exit\n",
          "\n  --windowed            play in a 1280x720 window",
          "\n  --data DIR            read the pictures",
          "\n  --demo                the game plays itself from level 1",
          "\n  --fixed-step          1/60 s of game time per update",
          "\n  --exit-after-level N  exit once level N is cleared (status 0) or "
          "at a game over (1)\n",
          "\n  --replay FILE         play the recording FILE back in a window",
          "\n  --record FILE         record what is played into FILE",
          "\n  --reaction MS         the demo's player sees MS milliseconds late"})
        EXPECT_NE(result.out.find(line), std::string::npos) << line << " in\n" << result.out;
    EXPECT_NE(result.out.find("~/.local/share/quellix/User"), std::string::npos);
}

TEST(CommandLine, VersionPrintsTheNameAndVersionAndEndsWithZero) {
    const Answer result = answer({"--version"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, CommandLine::version());
    EXPECT_TRUE(std::regex_match(result.out, std::regex("Quellix [0-9]+\\.[0-9]+\\.[0-9]+\n")))
        << result.out;
}

TEST(CommandLine, MistakesPrintWhatIsWrongAndTheUsageOnTheErrorStreamAndEndWithTwo) {
    // clang-format off
    const std::pair<std::vector<std::string>, std::string> mistakes[] = {
        {{"--fullscreen"},              "quellix: unknown option '--fullscreen'\n"},
        {{"-w"},                        "quellix: unknown option '-w'\n"},
        {{"--nonsense=1"},              "quellix: unknown option '--nonsense'\n"},
        {{"level3"},                    "quellix: unexpected argument 'level3'\n"},
        {{"--", "level3"},              "quellix: unexpected argument 'level3'\n"},
        {{"--data"},                    "quellix: --data needs DIR\n"},
        {{"--data="},                   "quellix: --data needs a folder\n"},
        {{"--windowed=yes"},            "quellix: --windowed takes no value\n"},
        {{"--demo=1"},                  "quellix: --demo takes no value\n"},
        {{"--exit-after-level"},        "quellix: --exit-after-level needs N\n"},
        {{"--exit-after-level", "0"},   "quellix: --exit-after-level needs a level number from 1, not '0'\n"},
        {{"--exit-after-level=-2"},     "quellix: --exit-after-level needs a level number from 1, not '-2'\n"},
        {{"--exit-after-level", "two"}, "quellix: --exit-after-level needs a level number from 1, not 'two'\n"},
        {{"--reaction", "-5"},          "quellix: --reaction needs milliseconds from 0 to 10000, not '-5'\n"},
        {{"--reaction=10001"},          "quellix: --reaction needs milliseconds from 0 to 10000, not '10001'\n"},
        {{"--replay"},                  "quellix: --replay needs FILE\n"},
        {{"--record="},                 "quellix: --record needs a file\n"},
        {{"--replay", "a", "--demo"},   "quellix: --replay plays a recording; it cannot be combined with --demo or --record\n"},
        // A mistake wins over --help: the player learns what was wrong.
        {{"--help", "--bogus"},         "quellix: unknown option '--bogus'\n"},
    };
    // clang-format on
    for (const auto& [arguments, first] : mistakes) {
        const Answer result = answer(arguments);
        EXPECT_EQ(result.status, 2) << first;
        EXPECT_EQ(result.out, "") << first;
        EXPECT_EQ(result.err, first + CommandLine::usage());
    }
}

TEST(CommandLine, AnExitLevelPastTheLastLevelIsRefusedWithTheCount) {
    // clang-format off
    const struct { std::vector<std::string> arguments; int levels; std::string refusal; } cases[] = {
        {{"--exit-after-level", "9"}, 8, "quellix: --exit-after-level 9: there are only 8 levels\n"},
        {{"--exit-after-level=2"},    1, "quellix: --exit-after-level 2: there is only 1 level\n"},
        {{"--exit-after-level", "1"}, 0, "quellix: --exit-after-level 1: there are no levels\n"},
        {{"--exit-after-level", "8"}, 8, ""},
        {{},                          0, ""},
    };
    // clang-format on
    for (const auto& c : cases) {
        std::ostringstream err;
        const std::optional<int> status = CommandLine(c.arguments).refuseExitLevel(c.levels, err);
        EXPECT_EQ(status, c.refusal.empty() ? std::nullopt : std::optional<int>(2)) << c.refusal;
        EXPECT_EQ(err.str(), c.refusal);
    }
}

TEST(CommandLine, TheEndOfOptionsAloneIsNoMistake) {
    EXPECT_FALSE(answer({"--windowed", "--"}).status);
}

TEST(WindowedMode, Is1280x720OrTheLargestSixteenByNineThatFitsTheDesktop) {
    // clang-format off
    const struct { unsigned deskWidth, deskHeight, width, height; } cases[] = {
        {1920, 1080, 1280, 720},
        {2560, 1080, 1280, 720},
        {1280,  720, 1280, 720},
        {1280, 1024, 1280, 720},
        {1024,  768, 1024, 576},
        { 800,  600,  800, 450},
        {1280,  600, 1066, 599}, // limited by the height
    };
    // clang-format on
    for (const auto& c : cases) {
        const sf::VideoMode mode =
            WindowControl::windowedMode(sf::VideoMode(c.deskWidth, c.deskHeight, 24));
        EXPECT_EQ(mode.width, c.width) << c.deskWidth << "x" << c.deskHeight;
        EXPECT_EQ(mode.height, c.height) << c.deskWidth << "x" << c.deskHeight;
        EXPECT_EQ(mode.bitsPerPixel, 24u);
    }
    // A replay's window has the shape it was recorded in.
    const sf::VideoMode tall =
        WindowControl::windowedMode(sf::VideoMode(1280, 720, 24), {1280, 1024});
    EXPECT_EQ(tall.width, 900u);
    EXPECT_EQ(tall.height, 720u);
}

} // namespace
