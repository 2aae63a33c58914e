// The frame limit: at most 60 frames a second where vertical sync does not pace the loop, followed
// on a clock the test moves, and once on the real clock with a real window.
#include "core/FrameLimit.hpp"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/System/Clock.hpp>
#include <gtest/gtest.h>

#include <vector>

namespace {

// A clock that moves only when a frame works or the limit waits.
class FakeTime {
public:
    FrameLimit limit() {
        return FrameLimit([this] { return now; },
                          [this](sf::Time wait) {
                              now += wait;
                              ++waits;
                          });
    }
    // Frames that each take the given work, for a second of the clock; when each began.
    std::vector<sf::Time> frames(FrameLimit& limit, sf::Time work) {
        std::vector<sf::Time> starts;
        while (now < sf::seconds(1.f)) {
            starts.push_back(now);
            now += work;
            limit.waitForNextFrame();
        }
        return starts;
    }

    sf::Time now;
    int waits = 0;
};

TEST(FrameLimit, WithoutVerticalSyncAStillScreenIsDrawnSixtyTimesASecond) {
    FakeTime time;
    FrameLimit limit = time.limit();
    limit.setVerticalSync(false, true);
    ASSERT_TRUE(limit.isLimiting());
    const std::vector<sf::Time> starts = time.frames(limit, sf::milliseconds(2));
    EXPECT_GE(starts.size(), 59u);
    EXPECT_LE(starts.size(), 61u);
    // From the second frame on, which the first call let through, 1/60 s apart.
    for (std::size_t i = 2; i < starts.size(); ++i)
        EXPECT_GE(starts[i] - starts[i - 1], sf::microseconds(16666)) << i;
}

TEST(FrameLimit, WhereVerticalSyncIsWantedButNotAvailableTheLimitHolds) {
    FakeTime time;
    FrameLimit limit = time.limit();
    limit.setVerticalSync(true, false);
    EXPECT_TRUE(limit.isLimiting());
    EXPECT_LE(time.frames(limit, sf::microseconds(100)).size(), 61u);
}

TEST(FrameLimit, VerticalSyncThatTheDisplayProvidesPacesTheLoopAlone) {
    FakeTime time;
    FrameLimit limit = time.limit();
    limit.setVerticalSync(true, true);
    EXPECT_FALSE(limit.isLimiting());
    EXPECT_EQ(time.frames(limit, sf::milliseconds(5)).size(), 200u);
    EXPECT_EQ(time.waits, 0);
}

TEST(FrameLimit, FramesSlowerThanTheLimitAreNotHeldBack) {
    FakeTime time;
    FrameLimit limit = time.limit();
    limit.setVerticalSync(false, false);
    EXPECT_EQ(time.frames(limit, sf::milliseconds(25)).size(), 40u);
    EXPECT_EQ(time.waits, 0);
}

// Half a second of frames that draw next to nothing, on a real window and the real clock.
TEST(FrameLimit, RealFramesWithoutVerticalSyncStayWithinTheLimit) {
    sf::RenderWindow window(sf::VideoMode(64, 64), "frame limit test", sf::Style::None);
    window.setVisible(false);
    FrameLimit limit;
    limit.setVerticalSync(window, false);
    sf::Clock clock;
    int frames = 0;
    while (clock.getElapsedTime() < sf::milliseconds(500)) {
        window.clear();
        window.display();
        limit.waitForNextFrame();
        ++frames;
    }
    EXPECT_LE(frames, 31);
    EXPECT_GE(frames, 5) << "and frames do come";
}

} // namespace
