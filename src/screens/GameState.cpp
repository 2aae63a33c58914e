#include "screens/GameState.hpp"

#include "core/MusicPlayer.hpp"
#include "core/ResourceHolder.hpp"
#include "screens/UserFiles.hpp"
#include "screens/UserProfile.hpp"
#include "screens/VolumeControl.hpp"
#include "world/Physics.hpp"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Event.hpp>

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <utility>

namespace {

const sf::Int64 MaxStepsPerFrame = 10;

// A frame this long means the game stood still (the process stopped or suspended, a debugger, a
// script that had to be stopped): play pauses, as when the window loses the focus, and never more
// than MaxPlayPerFrame of it is played unseen in one frame.
const sf::Time StalledFrame = sf::seconds(1.f);
const sf::Time MaxPlayPerFrame = sf::seconds(0.25f);

// The menu has loaded the faces when play comes from there; otherwise they are loaded here.
const sf::Font& font(const State::Context& context, Fonts::Fonts face) {
    context.fonts->load(face, Fonts::fileName(face));
    return context.fonts->get(face);
}

const Recording* replayOf(const State::Context& context) {
    return context.replay && !context.replay->empty() ? context.replay : nullptr;
}

int firstLevel(const State::Context& context) {
    if (const Recording* replay = replayOf(context))
        return replay->levels.front().number;
    return context.firstLevel ? *context.firstLevel : 1;
}

bool fromCommandLine(const State::Context& context) {
    return context.options && context.options->replayFile;
}

Bindings bindingsOf(const State::Context& context) {
    return context.volume ? context.volume->getSettings().controls : Bindings();
}

} // namespace

GameState::GameState(StateStack& stack, Context context)
    : State(stack, context), world(*context.window, firstLevel(context),
                                   replayOf(context) ? replayOf(context)->layout : sf::Vector2u()),
      input(bindingsOf(context)),
      overlay(context.window->getSize(), font(context, Fonts::MenuTitle),
              font(context, Fonts::MenuButton), bindingsOf(context)) {
    if (replayOf(context)) {
        playback = std::make_unique<Playback>(std::move(*context.replay));
        *context.replay = Recording();
    } else if (context.options && context.options->demo) {
        autoPlayer = std::make_unique<AutoPlayer>(static_cast<int>(
            std::lround(context.options->reactionMs / 1000.f / Physics::Step.asSeconds())));
    }
    // A replay ends where its recording does.
    if (context.options && !playback)
        exitAfterLevel = context.options->exitAfterLevel;
    // The world starts from level 1 when asked for one it does not have.
    if (firstLevel(context) >= 1 && firstLevel(context) <= world.getLevelCount())
        expectedLevel = firstLevel(context);
    showTime = playback || (context.volume && context.volume->getSettings().timer);

    // A person's runs are kept for them; --record keeps whatever is played.
    std::optional<PlayerRuns> runs;
    const UserProfile* profile = context.profile;
    if (!playback && !autoPlayer && profile && profile->loggedIn &&
        UserFiles::isValidName(profile->name))
        runs.emplace(context.userFolder, profile->name);
    const std::filesystem::path file =
        context.options && context.options->recordFile ? *context.options->recordFile : "";
    if (!playback && (runs || !file.empty()) && world.hasLevel()) {
        recorder = std::make_unique<RunRecorder>(world.getLayoutSize(), std::move(runs), file);
        recorder->startLevel(world.getLevel());
    }

    context.music->play(MusicTheme::GameTheme);
    // A replay leaves once the step that ended the game has been compared with the recording.
    world.gameOverCallback = [this] {
        gameOver = true;
        if (!playback)
            leave(1);
    };
    world.levelClearedCallback = [this](int level) {
        levelCleared = true;
        clearedInStep = Recording::standing(world, Recording::End::Cleared);
        report(level);
    };
    if (world.hasLevel())
        overlay.showLevel(world.getLevel());
}

GameState::~GameState() {
    // The last step is recorded with what was held then; nothing is queued for a step to come.
    recordAwaitedStep();
    if (recorder)
        recorder->endLevel(Recording::standing(world, Recording::End::Stopped));
}

void GameState::draw() {
    sf::RenderWindow& window = *getContext().window;
    world.draw();
    overlay.draw(window, paused);
    getContext().volume->draw(window, getContext().fonts->get(Fonts::MenuButton));
}

bool GameState::update(sf::Time dt) {
    if (!world.hasLevel()) {
        std::cerr << "The game ends: no level can be played\n";
        leave(1);
        return true;
    }
    if (skippedExitLevel()) {
        std::cerr << "The game ends: level " << exitAfterLevel
                  << ", after which it was to end, cannot be played\n";
        leave(1);
        return true;
    }
    // The first frame also holds the time the screen took to build itself.
    if (dt > StalledFrame && updated && !autoPlayer && !playback)
        setPaused(true);
    updated = true;
    if (paused)
        return true;
    dt = std::min(dt, MaxPlayPerFrame);
    if (playback)
        replay(dt);
    else
        play(dt);
    overlay.update(dt);
    if (showTime)
        overlay.showTime(world.getLevelTime(), playback != nullptr);
    if (levelCleared) {
        levelCleared = false;
        keepProgress();
        if (world.hasLevel())
            overlay.showLevel(world.getLevel());
    }
    return true;
}

void GameState::play(sf::Time dt) {
    const auto next = [this] { afterStep(); };
    if (autoPlayer) {
        // The automatic player foresees the game in steps of exactly 1/60 s, so a demo is played
        // in such steps, as many as the real time allows; the rest waits for the next frame. After
        // a long hitch the demo falls behind rather than racing to catch up.
        pending = std::min(pending + dt, MaxStepsPerFrame * Physics::Step);
        while (pending >= Physics::Step && !leaving) {
            pending -= Physics::Step;
            world.update(Physics::Step, next);
        }
    } else {
        world.update(dt, next, [this] { beforeStep(); });
    }
}

// Whoever is at the controls says what they hold after every step; the commands run in the next.
// The automatic player decides on the step just played, as it foresaw it; a person's keys are
// read just before the next step.
void GameState::afterStep() {
    awaitingControls =
        Played{world.getLastStep(), stepOutcome(), world.hasLevel() ? world.getLevel() : 0};
    if (autoPlayer)
        beforeStep();
}

void GameState::beforeStep() {
    if (const std::optional<Controls> held = recordAwaitedStep())
        held->queueCommands(world.getCommandQueue());
}

std::optional<Controls> GameState::recordAwaitedStep() {
    if (!awaitingControls)
        return std::nullopt;
    const Played played = *awaitingControls;
    awaitingControls.reset();
    const Controls held = controls();
    if (recorder)
        recorder->stepped(played.dt, played.outcome, played.levelInPlay, held);
    return held;
}

// Each recorded step is one step of the world, its controls queued just before it as they were
// queued after the step before when it was played.
void GameState::replay(sf::Time dt) {
    playback->advance(dt);
    while (!leaving && !gameOver) {
        const std::optional<Playback::Step> step = playback->next();
        if (!step)
            break;
        step->controls.queueCommands(world.getCommandQueue());
        world.update(step->time);
        playback->played(stepOutcome());
    }
    if (gameOver || playback->finished())
        leave(0);
}

Recording::Outcome GameState::stepOutcome() {
    if (clearedInStep) {
        const Recording::Outcome cleared = *clearedInStep;
        clearedInStep.reset();
        return cleared;
    }
    return Recording::standing(world,
                               gameOver ? Recording::End::GameOver : Recording::End::Stopped);
}

bool GameState::handleEvent(const sf::Event& event) {
    input.handleEvent(event, world.getCommandQueue());
    if (event.type == sf::Event::KeyPressed) {
        if (event.key.code == Bindings::Leave)
            leave(0);
        else if (event.key.code == bindingsOf(getContext()).key(Bindings::Pause))
            setPaused(!paused);
        else
            getContext().volume->handleEvent(event);
    } else if (event.type == sf::Event::Resized) {
        // The world keeps the size it was laid out in and is scaled to the new window; the words
        // over it are laid out anew, to stay sharp.
        overlay.layOut(sf::Vector2u(event.size.width, event.size.height));
    } else if (event.type == sf::Event::LostFocus && !autoPlayer && !playback) {
        // A person who turns to another window comes back to the game as they left it; a demo
        // or a replay plays on.
        setPaused(true);
    }
    return true;
}

void GameState::setPaused(bool flag) {
    paused = flag;
    getContext().music->setPaused(flag);
}

// The level that has just started is the best one reached when it is further than the player got.
void GameState::keepProgress() {
    UserProfile* profile = getContext().profile;
    if (playback || !profile || !profile->loggedIn || !world.hasLevel() ||
        world.getLevel() <= profile->value2)
        return;
    profile->value2 = world.getLevel();
    UserFiles(getContext().userFolder).saveValues(*profile);
}

Controls GameState::controls() {
    return autoPlayer ? autoPlayer->decide(sight.look(world)) : input.read(*getContext().window);
}

bool GameState::skippedExitLevel() const {
    if (exitAfterLevel <= 0)
        return false;
    for (int level = expectedLevel; level != world.getLevel();
         level = level % world.getLevelCount() + 1)
        if (level == exitAfterLevel)
            return true;
    return false;
}

void GameState::report(int level) {
    expectedLevel = level % world.getLevelCount() + 1;
    if (exitAfterLevel <= 0)
        return;
    std::ostringstream line;
    line << "Level " << level << " cleared in " << std::fixed << std::setprecision(1)
         << world.getLevelTime().asSeconds() << " s, " << world.getTanksLost() << " tanks lost";
    std::cout << line.str() << std::endl;
    if (level == exitAfterLevel)
        leave(0);
}

// The status counts only when the player asked to end after a level.
void GameState::leave(int status) {
    if (leaving)
        return;
    leaving = true;
    if (exitAfterLevel > 0 && getContext().exitStatus)
        *getContext().exitStatus = status;
    requestPop();
    if (playback)
        endReplay();
}

void GameState::endReplay() {
    const Context context = getContext();
    if (!playback->difference().empty())
        std::cerr << (fromCommandLine(context) ? context.options->replayFile->string() + ": " : "")
                  << "the replay went another way than the recording: " << playback->difference()
                  << "\n";
    if (!fromCommandLine(context)) {
        requestPush(States::Menu);
        return;
    }
    const Recording::Outcome& last = playback->last();
    std::ostringstream line;
    line << "Replay ended: level " << last.level << ", " << std::fixed << std::setprecision(1)
         << last.time.asSeconds() << " s, " << last.tanksLost << " tanks lost";
    std::cout << line.str() << std::endl;
}
