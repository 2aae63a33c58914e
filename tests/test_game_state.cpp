// The game screen on a real screen stack and window: its music, the three ways it leaves, pausing,
// the level's number over play, the best level reached that a cleared level raises, the runs it
// records and the recordings it plays back (the recorded runs of the shipped levels among them).

#include "CaptureErrors.hpp"
#include "WorldFixture.hpp"

#include "actors/Opponent.hpp"
#include "actors/Player.hpp"
#include "actors/Tank.hpp"
#include "core/MusicPlayer.hpp"
#include "core/ResourceHolder.hpp"
#include "core/StateStack.hpp"
#include "replay/PlayerRuns.hpp"
#include "replay/Recording.hpp"
#include "screens/GameState.hpp"
#include "screens/UserProfile.hpp"
#include "screens/VolumeControl.hpp"
#include "world/Block.hpp"
#include "world/Platform.hpp"
#include "world/Spawner.hpp"

#include <SFML/Audio/InputSoundFile.hpp>
#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Window/Event.hpp>
#include <gtest/gtest.h>

#include <iomanip>
#include <iostream>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace {

using namespace testsupport;

const sf::Time Frame = sf::seconds(1.f / 60.f);

// The real game screen; it remembers the last one the stack built, so a test can reach its
// world, and forgets it when the stack destroys it.
class ObservedGameState : public GameState {
public:
    ObservedGameState(StateStack& stack, Context context) : GameState(stack, context) {
        latest = this;
    }
    ~ObservedGameState() override {
        if (latest == this)
            latest = nullptr;
    }
    static inline ObservedGameState* latest = nullptr;
};

std::string oneLevel(char spawner = 'R') {
    std::vector<std::string> rows(20, row('.'));
    rows[1][27] = spawner;
    return levelScript(rows);
}

// A scratch data folder with the game's scripts, pictures and sounds, a window and the
// application's shared objects, and a stack on which the game screen is registered.
class GameStateScreen : public ::testing::Test {
protected:
    // With levels of one green spawner each, which one paid hit clears, after the first.
    void start(bool withLevel, int levels = 1) {
        for (int level = 1; withLevel && level <= levels; ++level)
            writeFile(dir / ("Levels/Level" + std::to_string(level) + ".lua"),
                      oneLevel(level == 1 && levels == 1 ? 'R' : 'G'));
        open();
    }

    void open() {
        copyData({"Scripts", "Images", "Audio", "Fonts"});
        stack.registerState<ObservedGameState>(States::Game);
        stack.push(States::Game);
        stack.update(Frame); // builds the screen
    }

    void copyData(std::initializer_list<const char*> folders) {
        for (const char* folder : folders)
            if (fs::exists(dataDir() / folder))
                fs::copy(dataDir() / folder, dir / folder, fs::copy_options::recursive);
    }

    World& world() { return ObservedGameState::latest->getWorld(); }

    // What the screen prints when it plays the file back at fixed steps, as --replay FILE
    // --fixed-step has it do: its standard output, and its error stream.
    std::pair<std::string, std::string> replayed(const fs::path& file) {
        std::string problem;
        replay = Recording::read(file, problem).value_or(Recording());
        options.replayFile = file;
        StreamCapture out(std::cout);
        CaptureErrors errors;
        stack.registerState<ObservedGameState>(States::Game);
        stack.push(States::Game);
        for (int updates = 0; updates < 200000 && (updates == 0 || !stack.isEmpty()); ++updates)
            stack.update(Frame);
        EXPECT_TRUE(stack.isEmpty()) << file;
        return {out.str(), errors.text()};
    }

    // The line a replay ends with, for a level that ended so.
    static std::string endLine(const Recording::Outcome& outcome) {
        std::ostringstream line;
        line << "Replay ended: level " << outcome.level << ", " << std::fixed
             << std::setprecision(1) << outcome.time.asSeconds() << " s, " << outcome.tanksLost
             << " tanks lost\n";
        return line.str();
    }

    // Pays the level's spawner off; the next level starts in the next update.
    void clearLevel() {
        world().getOpponent()->getSpawners().front()->advance();
        stack.update(Frame);
    }

    // Pure white pixels in the middle of the play area, where the level's number shows.
    std::size_t whiteInTheMiddle() {
        window.clear();
        stack.draw();
        sf::Texture shown;
        shown.create(window.getSize().x, window.getSize().y);
        shown.update(window);
        window.display();
        const sf::Image picture = shown.copyToImage();
        std::size_t white = 0;
        for (unsigned y = 230; y < 350; ++y)
            for (unsigned x = 400; x < 880; ++x)
                white += picture.getPixel(x, y) == sf::Color::White ? 1 : 0;
        return white;
    }

    TempDir dir;
    ScopedCwd cwd{dir.path()};
    sf::RenderWindow window{sf::VideoMode(1280, 720), "game screen test"};
    TextureHolder textures;
    MusicPlayer music;
    FontHolder fonts;
    UserProfile profile;
    VolumeControl volume{dir / "Settings.txt", music};
    int firstLevel = 1;
    CommandLine::Options options;
    int exitStatus = -1;
    Recording replay;
    StateStack stack{State::Context{&window, &textures, &music, &fonts, &profile, dir / "User",
                                    &volume, &firstLevel, &options, &exitStatus, nullptr, nullptr,
                                    &replay}};
};

TEST_F(GameStateScreen, PlaysTheGameThemeAndRunsTheWorld) {
    start(true);
    ASSERT_EQ(stack.size(), 1u);
    ASSERT_NE(ObservedGameState::latest, nullptr);
    if (fs::exists(dir / "Audio/GameTheme.ogg")) {
        const sf::Music* theme = music.getMusic();
        ASSERT_NE(theme, nullptr) << "the tests have a sound device";
        EXPECT_EQ(theme->getStatus(), sf::Music::Playing);
        EXPECT_TRUE(theme->getLoop());
        // The theme is told by its length, which differs from the menu's.
        sf::InputSoundFile game;
        sf::InputSoundFile menu;
        ASSERT_TRUE(game.openFromFile((dir / "Audio/GameTheme.ogg").string()));
        ASSERT_TRUE(menu.openFromFile((dir / "Audio/MenuTheme.ogg").string()));
        ASSERT_NE(game.getDuration(), menu.getDuration());
        EXPECT_EQ(theme->getDuration(), game.getDuration());
    } else
        ADD_FAILURE() << "data/Audio/GameTheme.ogg was not built";
    World& world = ObservedGameState::latest->getWorld();
    EXPECT_TRUE(world.hasLevel());
    EXPECT_EQ(world.getPlayer()->getTank(), nullptr);
    stack.update(Frame);
    EXPECT_NE(world.getPlayer()->getTank(), nullptr) << "the world is updated with the screen";
    window.clear();
    stack.draw();
    window.display();
    EXPECT_EQ(stack.size(), 1u);
}

TEST_F(GameStateScreen, EscapeLeaves) {
    start(true);
    ASSERT_EQ(stack.size(), 1u);
    stack.handleEvent(keyPressed(sf::Keyboard::Left));
    stack.handleEvent(keyPressed(sf::Keyboard::Return));
    EXPECT_EQ(stack.size(), 1u) << "other keys stay";
    stack.handleEvent(keyPressed(sf::Keyboard::Escape));
    EXPECT_TRUE(stack.isEmpty());
    EXPECT_EQ(ObservedGameState::latest, nullptr) << "the screen was destroyed";
}

TEST_F(GameStateScreen, TheGameOverLeavesAtTheEndOfThatUpdate) {
    start(true);
    ASSERT_NE(ObservedGameState::latest, nullptr);
    // Every tank is wrecked as soon as it appears; the screen stays until the player has no
    // tank left and the last one's respawn delay has run out.
    int tanks = 0;
    int updates = 0;
    Tank* current = nullptr;
    while (!stack.isEmpty() && updates < 6000) {
        Player* player = ObservedGameState::latest->getWorld().getPlayer();
        const int livesBefore = player->getLives();
        const bool tankBefore = player->getTank() != nullptr;
        stack.update(Frame);
        ++updates;
        if (stack.isEmpty()) {
            EXPECT_EQ(livesBefore, 0) << "left with lives to spare";
            EXPECT_FALSE(tankBefore) << "left while a tank was still in the scene";
            break;
        }
        Tank* tank = player->getTank();
        if (tank && tank != current)
            ++tanks;
        if (tank && !tank->isDestroyed())
            tank->destroy();
        current = tank;
    }
    EXPECT_TRUE(stack.isEmpty());
    EXPECT_EQ(tanks, 25);
    EXPECT_EQ(ObservedGameState::latest, nullptr);
    EXPECT_EQ(exitStatus, -1) << "no status asked for without --exit-after-level";
}

TEST_F(GameStateScreen, AskedToEndAfterALevelAGameOverEndsWithOne) {
    options.exitAfterLevel = 1;
    start(true);
    for (int updates = 0; !stack.isEmpty() && updates < 6000; ++updates) {
        stack.update(Frame);
        if (ObservedGameState::latest)
            if (Tank* tank = world().getPlayer()->getTank())
                tank->destroy();
    }
    EXPECT_TRUE(stack.isEmpty());
    EXPECT_EQ(exitStatus, 1);
}

TEST_F(GameStateScreen, AskedToEndAfterALevelItPrintsItsLineAndEndsWithZero) {
    options.exitAfterLevel = 1;
    start(true, 2);
    StreamCapture out(std::cout);
    // Cleared in the 61st step: 61 x 16666 microseconds.
    for (int updates = 0; updates < 60; ++updates)
        stack.update(Frame);
    clearLevel();
    EXPECT_TRUE(stack.isEmpty());
    EXPECT_EQ(exitStatus, 0);
    EXPECT_EQ(out.str(), "Level 1 cleared in 1.0 s, 0 tanks lost\n");
}

TEST_F(GameStateScreen, AskedToEndAfterALevelThatCannotBePlayedItEndsWithOne) {
    const std::string broken = "return { layers = ";
    const struct {
        const char* what;
        std::vector<std::string> levels;
        int endAfter;
        int cleared; // levels cleared before the end
    } cases[] = {
        {"the level to end after is skipped on the way",
         {oneLevel('G'), broken, oneLevel('G')},
         2,
         1},
        {"the first level is the one skipped", {broken, oneLevel('G')}, 1, 0},
        {"no level can be played", {broken}, 1, 0},
    };
    bool opened = false;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dir / "Levels");
        for (std::size_t i = 0; i < c.levels.size(); ++i)
            writeFile(dir / ("Levels/Level" + std::to_string(i + 1) + ".lua"), c.levels[i]);
        options.exitAfterLevel = c.endAfter;
        exitStatus = -1;
        CaptureErrors errors;
        if (!std::exchange(opened, true)) {
            open();
        } else {
            stack.push(States::Game);
            stack.update(Frame);
        }
        for (int level = 0; level < c.cleared; ++level)
            clearLevel();
        stack.update(Frame);
        EXPECT_TRUE(stack.isEmpty()) << errors.text();
        EXPECT_EQ(exitStatus, 1);
    }
}

TEST_F(GameStateScreen, AskedToEndAfterALaterLevelItPlaysOn) {
    options.exitAfterLevel = 2;
    start(true, 2);
    StreamCapture out(std::cout);
    clearLevel();
    EXPECT_EQ(out.str(), "Level 1 cleared in 0.0 s, 0 tanks lost\n");
    EXPECT_EQ(stack.size(), 1u);
    EXPECT_EQ(world().getLevel(), 2);
    EXPECT_EQ(exitStatus, -1);
}

TEST_F(GameStateScreen, ADemoPlaysWholeStepsOfASixtiethOfASecondWithoutKeys) {
    options.demo = true;
    std::vector<std::string> rows(20, row('.'));
    rows[1][27] = 'R';
    rows[15][6] = 'P'; // over the floor, in reach of a jump
    writeFile(dir / "Levels/Level1.lua", levelScript(rows));
    open();
    const sf::Time step = sf::seconds(1.f / 60.f);
    // 25 ms: one step, and 8.3 ms wait for the next frame; 10 ms more make a second step.
    stack.update(sf::milliseconds(25));
    EXPECT_EQ(world().getLevelTime(), step);
    stack.update(sf::milliseconds(10));
    EXPECT_EQ(world().getLevelTime(), step + step);
    stack.update(sf::milliseconds(5));
    EXPECT_EQ(world().getLevelTime(), step + step);
    // With no key held, the automatic player drives under the power block and strikes it.
    const Block& powerBlock = *world().getPlatform()->getBlock(15 * 30 + 6);
    for (int i = 0; i < 300 && powerBlock.getTileNumber() == 5; ++i)
        stack.update(Frame);
    EXPECT_EQ(powerBlock.getTileNumber(), 4) << "spent";
}

TEST_F(GameStateScreen, PStopsPlayAndTheMusicAndOnlyPGoesOn) {
    start(true);
    const sf::Music* theme = music.getMusic();
    ASSERT_NE(theme, nullptr);
    stack.handleEvent(keyPressed(sf::Keyboard::P));
    for (int i = 0; i < 120; ++i)
        stack.update(Frame);
    EXPECT_EQ(world().getPlayer()->getTank(), nullptr) << "no tank comes while paused";
    EXPECT_EQ(theme->getStatus(), sf::Music::Paused);
    stack.handleEvent(keyPressed(sf::Keyboard::P));
    EXPECT_EQ(theme->getStatus(), sf::Music::Playing);
    stack.update(Frame);
    Tank* tank = world().getPlayer()->getTank();
    ASSERT_NE(tank, nullptr) << "play goes on";

    // Losing the focus pauses too; getting it back does not go on by itself.
    tank->setVelocity(300.f, 0.f);
    const sf::Vector2f where = tank->getPosition();
    sf::Event focus;
    focus.type = sf::Event::LostFocus;
    stack.handleEvent(focus);
    focus.type = sf::Event::GainedFocus;
    stack.handleEvent(focus);
    for (int i = 0; i < 30; ++i)
        stack.update(Frame);
    EXPECT_EQ(tank->getPosition(), where);
    EXPECT_EQ(theme->getStatus(), sf::Music::Paused);
    stack.handleEvent(keyPressed(sf::Keyboard::P));
    stack.update(Frame);
    EXPECT_GT(tank->getPosition().x, where.x);

    stack.handleEvent(keyPressed(sf::Keyboard::P));
    stack.handleEvent(keyPressed(sf::Keyboard::Escape));
    EXPECT_TRUE(stack.isEmpty()) << "Escape ends the game, paused or not";
}

// After the process was stopped for a minute, or a script stood still, the lost time is not played
// unseen: at most a quarter of a second a frame, and a frame of over a second pauses.
TEST_F(GameStateScreen, AStalledFramePlaysAQuarterSecondAtMostAndPausesOverASecond) {
    start(true);
    stack.update(sf::seconds(3.f)); // the first frame also held the screen's building
    EXPECT_EQ(world().getLevelTime(), sf::seconds(0.25f)) << "the first frame's quarter second";
    const sf::Music* theme = music.getMusic();
    ASSERT_NE(theme, nullptr);
    EXPECT_EQ(theme->getStatus(), sf::Music::Playing) << "not paused by its own building";

    stack.update(sf::seconds(0.9f));
    EXPECT_EQ(world().getLevelTime(), sf::seconds(0.5f));
    EXPECT_EQ(theme->getStatus(), sf::Music::Playing);

    stack.update(sf::seconds(60.f));
    stack.update(Frame);
    EXPECT_EQ(world().getLevelTime(), sf::seconds(0.5f)) << "nothing of the minute is played";
    EXPECT_EQ(theme->getStatus(), sf::Music::Paused);
    stack.handleEvent(keyPressed(sf::Keyboard::P));
    stack.update(Frame);
    EXPECT_EQ(world().getLevelTime(), sf::seconds(0.5f) + Frame) << "P goes on";
}

TEST_F(GameStateScreen, ThePauseKeyIsTheOneTheSettingsBind) {
    Settings chosen;
    ASSERT_TRUE(chosen.controls.bind(Bindings::Pause, sf::Keyboard::Space));
    volume.change(chosen);
    start(true);
    stack.handleEvent(keyPressed(sf::Keyboard::P));
    stack.update(Frame);
    Tank* tank = world().getPlayer()->getTank();
    ASSERT_NE(tank, nullptr) << "P pauses no more";
    tank->setVelocity(300.f, 0.f);
    const sf::Vector2f where = tank->getPosition();
    stack.handleEvent(keyPressed(sf::Keyboard::Space));
    for (int i = 0; i < 30; ++i)
        stack.update(Frame);
    EXPECT_EQ(tank->getPosition(), where) << "Space pauses";
}

TEST_F(GameStateScreen, TheLevelsNumberShowsForTwoSecondsOfPlay) {
    start(true, 2);
    EXPECT_GT(whiteInTheMiddle(), 500u) << "\"Level 1\" shows as play starts";
    for (int i = 0; i < 110; ++i)
        stack.update(Frame);
    // Paused for a long while at 1.85 s: the number stays, and so it does after play goes on.
    stack.handleEvent(keyPressed(sf::Keyboard::P));
    for (int i = 0; i < 300; ++i)
        stack.update(Frame);
    stack.handleEvent(keyPressed(sf::Keyboard::P));
    stack.update(Frame);
    EXPECT_GT(whiteInTheMiddle(), 500u);
    for (int i = 0; i < 10; ++i)
        stack.update(Frame);
    EXPECT_LT(whiteInTheMiddle(), 50u) << "gone after two seconds of play";
    clearLevel();
    EXPECT_EQ(world().getLevel(), 2);
    EXPECT_GT(whiteInTheMiddle(), 500u) << "\"Level 2\" shows as it starts";
}

TEST_F(GameStateScreen, AClearedLevelRaisesThePlayersBestLevelInTheirFile) {
    writeFile(dir / "User" / "Ann.bin", "5\n0\n1\n1");
    profile.load(dir / "User" / "Ann.bin");
    profile.name = "Ann";
    profile.loggedIn = true;
    start(true, 3);
    clearLevel();
    EXPECT_EQ(profile.value2, 2);
    EXPECT_EQ(readFile(dir / "User" / "Ann.bin"), "5\n2\n1\n1");
    clearLevel();
    EXPECT_EQ(readFile(dir / "User" / "Ann.bin"), "5\n3\n1\n1");
    clearLevel(); // on to level 1 again, which is not further
    EXPECT_EQ(world().getLevel(), 1);
    EXPECT_EQ(readFile(dir / "User" / "Ann.bin"), "5\n3\n1\n1");
}

TEST_F(GameStateScreen, ContinuePlaysFromTheLevelTheMenuChoseAndOnlyPlayersKeepProgress) {
    firstLevel = 2;
    start(true, 3);
    EXPECT_EQ(world().getLevel(), 2);
    clearLevel();
    EXPECT_EQ(world().getLevel(), 3);
    EXPECT_FALSE(fs::exists(dir / "User")) << "no player, no file";
}

TEST_F(GameStateScreen, TheScreenHasItsFontsHoweverItIsReached) {
    ASSERT_FALSE(fonts.contains(Fonts::MenuTitle));
    start(true);
    for (const Fonts::Fonts face : {Fonts::MenuTitle, Fonts::MenuButton}) {
        ASSERT_TRUE(fonts.contains(face));
        EXPECT_EQ(fonts.get(face).getInfo().family, "Play");
    }
}

TEST_F(GameStateScreen, WithoutALevelTheScreenLeavesOnItsFirstUpdate) {
    CaptureErrors errors;
    start(false);
    ASSERT_EQ(stack.size(), 1u) << "the screen is built even so";
    EXPECT_FALSE(ObservedGameState::latest->getWorld().hasLevel());
    stack.update(Frame);
    EXPECT_TRUE(stack.isEmpty());
    EXPECT_NE(errors.text().find("Levels/Level1.lua does not exist"), std::string::npos)
        << errors.text();
    EXPECT_NE(errors.text().find("no level can be played"), std::string::npos) << errors.text();
}

// --- Recorded runs ----------------------------------------------------------------------------

const fs::path RecordedRuns = fs::path(QUELLIX_SOURCE_DIR) / "tests" / "replays";

// Each ends where it ended when it was recorded: the same level, cleared or lost in the same step,
// after the same game time, with the same tanks lost and the tank in the same place. A change that
// alters play makes them end otherwise; when it is meant, tools/record-replays.sh records them
// anew.
TEST_F(GameStateScreen, RecordedRunsOfTheShippedLevelsReplayToTheEndTheyWereRecordedWith) {
    copyData({"Scripts", "Images", "Audio", "Fonts", "Levels"});
    std::set<std::string> replayedRuns;
    for (const auto& entry : fs::directory_iterator(RecordedRuns)) {
        SCOPED_TRACE(entry.path().filename().string());
        std::string problem;
        const std::optional<Recording> recording = Recording::read(entry.path(), problem);
        ASSERT_TRUE(recording) << problem;
        ASSERT_EQ(recording->mismatch(), "") << "record the runs again: tools/record-replays.sh";
        const auto [out, errors] = replayed(entry.path());
        EXPECT_EQ(out.substr(out.find("Replay ended")),
                  endLine(recording->levels.back().outcome()));
        EXPECT_EQ(errors.find("went another way"), std::string::npos)
            << errors << "play has changed since the run was recorded; if that is meant, record "
            << "it again with tools/record-replays.sh";
        replayedRuns.insert(entry.path().filename().string());
    }
    EXPECT_EQ(replayedRuns.count("level1-human.replay"), 1u) << "a person's pace on level 1";
    EXPECT_EQ(replayedRuns.count("demo-levels-1-3.replay"), 1u) << "levels one after another";
}

TEST_F(GameStateScreen, AReplayThatGoesAnotherWaySaysHowAndStillEndsWithItsLastLevel) {
    copyData({"Scripts", "Images", "Audio", "Fonts", "Levels"});
    // The run with no jump in its first thousand lines: the tank goes elsewhere from then on.
    std::string problem;
    Recording run = *Recording::read(RecordedRuns / "level1-human.replay", problem);
    for (std::size_t line = 0; line < 1000; ++line)
        run.levels[0].steps[line].controls.jump = false;
    ASSERT_TRUE(run.write(dir / "changed.replay", problem)) << problem;
    const auto [out, errors] = replayed(dir / "changed.replay");
    // Lost, or cleared at another time: either way the message names both ends.
    EXPECT_EQ(errors.rfind((dir / "changed.replay").string() +
                               ": the replay went another way than the recording: ",
                           0),
              0u)
        << errors;
    EXPECT_NE(errors.find(Recording::describe(run.levels[0].outcome())), std::string::npos);
    EXPECT_EQ(out.rfind("Replay ended: level 1, "), out.find("Replay ended")) << out;
}

// A person at uneven frame times (long frames are split into steps of at most 1/60 s) with a
// logged-in player: the level is kept as the player's run when play ends, and replays to its end.
TEST_F(GameStateScreen, APlayersRunAtUnevenFrameTimesIsKeptBesideTheirFileAndReplaysToItsEnd) {
    writeFile(dir / "User" / "Ann.bin", "5\n0\n1\n1");
    profile.name = "Ann";
    profile.loggedIn = true;
    start(true);
    std::mt19937 random(24);
    for (int frames = 0; frames < 800; ++frames)
        stack.update(sf::microseconds(std::uniform_int_distribution<int>(4000, 70000)(random)));
    ASSERT_NE(ObservedGameState::latest, nullptr) << "the game is not over yet";
    const Recording::Outcome played = Recording::standing(world(), Recording::End::Stopped);
    EXPECT_GT(played.tanksLost, 0) << "the wolves come down to the tank, which stands still";
    stack.handleEvent(keyPressed(sf::Keyboard::Escape));

    std::string problem;
    const std::optional<Recording> run = Recording::read(dir / "User/Ann.run-1.replay", problem);
    ASSERT_TRUE(run) << problem;
    EXPECT_TRUE(run->levels.at(0).outcome() == played) << Recording::describe(played);
    EXPECT_GT(run->levels[0].steps.size(), 1000u) << "steps of many lengths";
    profile.loggedIn = false;
    const auto [out, errors] = replayed(dir / "User/Ann.run-1.replay");
    EXPECT_EQ(out, endLine(played));
    EXPECT_EQ(errors, "");
    EXPECT_FALSE(fs::exists(dir / "User/Ann.run-2.replay")) << "a replay is no run";
}

// The automatic player drives and jumps to strike the power block; play ends as the tank falls
// back, in the middle of a move, so controls that acted a step early or late would show.
TEST_F(GameStateScreen, ADemoRecordedIntoAFileReplaysToItsEnd) {
    options.demo = true;
    options.recordFile = dir / "demo.replay";
    std::vector<std::string> rows(20, row('.'));
    rows[1][27] = 'R';
    rows[15][6] = 'P';
    writeFile(dir / "Levels/Level1.lua", levelScript(rows));
    open();
    const Block& powerBlock = *world().getPlatform()->getBlock(15 * 30 + 6);
    for (int frames = 0; frames < 600 && powerBlock.getTileNumber() == 5; ++frames)
        stack.update(Frame);
    for (int frames = 0; frames < 5; ++frames)
        stack.update(Frame);
    const Recording::Outcome played = Recording::standing(world(), Recording::End::Stopped);
    ASSERT_TRUE(played.tank);
    stack.handleEvent(keyPressed(sf::Keyboard::Escape));

    options = CommandLine::Options();
    const auto [out, errors] = replayed(dir / "demo.replay");
    EXPECT_EQ(out, endLine(played));
    EXPECT_EQ(errors, "");
}

// Stands in for the menu, which a replay chosen there goes back to.
struct MenuStandIn : State {
    MenuStandIn(StateStack& stack, Context context) : State(stack, context) { ++built; }
    void draw() override {}
    bool update(sf::Time) override { return true; }
    bool handleEvent(const sf::Event&) override { return true; }
    static inline int built = 0;
};

TEST_F(GameStateScreen, AReplayChosenInTheMenuGoesBackToTheMenu) {
    start(true);
    stack.handleEvent(keyPressed(sf::Keyboard::Escape));
    replay = Recording(window.getSize());
    replay.levels.emplace_back().hash = *Recording::levelHash(1);
    replay.levels[0].steps = {{16666, Controls(), 90}};
    stack.registerState<MenuStandIn>(States::Menu);
    StreamCapture out(std::cout);
    stack.push(States::Game);
    for (int i = 0; i < 200 && MenuStandIn::built == 0; ++i)
        stack.update(Frame);
    EXPECT_EQ(ObservedGameState::latest, nullptr);
    EXPECT_EQ(stack.size(), 1u) << "the menu alone";
    EXPECT_TRUE(replay.empty()) << "the game took the recording";
    EXPECT_EQ(out.str(), "") << "only a replay named on the command line prints its end";
}

} // namespace
