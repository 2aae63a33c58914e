#include "core/StateStack.hpp"

#include <SFML/Window/Event.hpp>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

// Screens that log what happens to them and do what the test scripts them to do.
std::vector<std::string> journal;

struct Script {
    bool popThenPushOnEvent = false;
    bool popOnUpdate = false;
    States::States next = States::None;
};
Script script;

class LoggingState : public State {
public:
    LoggingState(StateStack& stack, Context context, std::string name)
        : State(stack, context), name(std::move(name)) {
        journal.push_back("construct " + this->name);
    }
    ~LoggingState() override { journal.push_back("destroy " + name); }
    void draw() override { journal.push_back("draw " + name); }
    bool update(sf::Time) override {
        journal.push_back("update " + name);
        if (script.popOnUpdate) {
            requestPop();
            if (script.next != States::None)
                requestPush(script.next);
        }
        return true;
    }
    bool handleEvent(const sf::Event& event) override {
        journal.push_back("event " + name + " " + std::to_string(event.type));
        if (script.popThenPushOnEvent && name == "A") {
            requestPop();
            requestPush(States::Menu);
        }
        return true;
    }

private:
    std::string name;
};

struct ScreenA : LoggingState {
    ScreenA(StateStack& stack, Context context) : LoggingState(stack, context, "A") {}
};
struct ScreenB : LoggingState {
    ScreenB(StateStack& stack, Context context) : LoggingState(stack, context, "B") {}
};

class StateStackTest : public ::testing::Test {
protected:
    void SetUp() override {
        journal.clear();
        script = Script{};
        stack.registerState<ScreenA>(States::Title);
        stack.registerState<ScreenB>(States::Menu);
    }
    static sf::Event keyEvent() {
        sf::Event event;
        event.type = sf::Event::KeyPressed;
        return event;
    }
    StateStack stack{State::Context{}};
};

TEST_F(StateStackTest, PendingPushCountsOnlyAfterThePassThatAppliesIt) {
    stack.push(States::Title);
    EXPECT_TRUE(stack.isEmpty());
    EXPECT_TRUE(journal.empty());
    stack.draw();
    EXPECT_TRUE(journal.empty()) << "drawing applies nothing";
    stack.update(sf::seconds(0.1f));
    EXPECT_FALSE(stack.isEmpty());
    // The first update only creates the screen; it is updated from the next pass on.
    EXPECT_EQ(journal, (std::vector<std::string>{"construct A"}));
}

TEST_F(StateStackTest, PopThenPushDestroysOldBeforeConstructingNew) {
    stack.push(States::Title);
    stack.update(sf::Time::Zero);
    journal.clear();
    script.popThenPushOnEvent = true;
    stack.handleEvent(keyEvent());
    EXPECT_EQ(journal, (std::vector<std::string>{"event A 5", "destroy A", "construct B"}));
    EXPECT_EQ(stack.size(), 1u);
}

TEST_F(StateStackTest, LaterEventsOfAFrameReachTheScreenPushedByAnEarlierOne) {
    stack.push(States::Title);
    stack.update(sf::Time::Zero);
    journal.clear();
    script.popThenPushOnEvent = true;
    stack.handleEvent(keyEvent());
    stack.handleEvent(keyEvent());
    EXPECT_EQ(journal.back(), "event B 5");
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "event A 5"), 1);
}

TEST_F(StateStackTest, PoppingTheOnlyScreenDuringUpdateEmptiesTheStack) {
    stack.push(States::Title);
    stack.update(sf::Time::Zero);
    script.popOnUpdate = true;
    stack.update(sf::Time::Zero);
    EXPECT_TRUE(stack.isEmpty());
    EXPECT_EQ(journal.back(), "destroy A");
}

TEST_F(StateStackTest, DrawRunsBottomUpAndUpdateTopDown) {
    stack.push(States::Title);
    stack.push(States::Menu);
    stack.update(sf::Time::Zero);
    journal.clear();
    stack.draw();
    stack.update(sf::Time::Zero);
    EXPECT_EQ(journal, (std::vector<std::string>{"draw A", "draw B", "update B", "update A"}));
}

TEST_F(StateStackTest, ClearDestroysEveryScreen) {
    stack.push(States::Title);
    stack.push(States::Menu);
    stack.update(sf::Time::Zero);
    stack.clear();
    stack.update(sf::Time::Zero);
    EXPECT_TRUE(stack.isEmpty());
}

TEST_F(StateStackTest, UnregisteredScreenAndPopOnEmptyStackAreReportedAndIgnored) {
    std::ostringstream captured;
    auto* old = std::cerr.rdbuf(captured.rdbuf());
    stack.push(States::Loading);
    stack.pop();
    stack.update(sf::Time::Zero);
    std::cerr.rdbuf(old);
    EXPECT_TRUE(stack.isEmpty());
    EXPECT_NE(captured.str().find("no screen is registered for identifier 3"), std::string::npos);
    EXPECT_NE(captured.str().find("pop was requested with no screen"), std::string::npos);
}

TEST_F(StateStackTest, EmptyStackStillAppliesChangesOnEvents) {
    stack.push(States::Menu);
    stack.handleEvent(keyEvent());
    EXPECT_EQ(stack.size(), 1u);
    EXPECT_EQ(journal, (std::vector<std::string>{"construct B"}));
}

} // namespace
