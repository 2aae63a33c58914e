#pragma once

#include "core/State.hpp"

#include <atomic>
#include <thread>

// Loads the menu's pictures and fonts, finds the current player and opens the sound device on a
// second thread, the only one the game starts. While it runs it writes the context's texture
// holder, font holder and profile, which the main thread must leave alone until isFinished() has
// returned true.
class ParallelTask {
public:
    explicit ParallelTask(State::Context context);
    // Waits for the thread, if it still runs.
    ~ParallelTask();
    ParallelTask(const ParallelTask&) = delete;
    ParallelTask& operator=(const ParallelTask&) = delete;

    void execute();
    // Once true, everything the task wrote is visible to the caller (release/acquire hand-over).
    bool isFinished() const;
    // Joins the thread; does nothing when there is none to join.
    void wait();

private:
    static void load(State::Context context, std::atomic<bool>* finished);

    std::thread thread;
    std::atomic<bool> finished{false};
    State::Context context;
};
