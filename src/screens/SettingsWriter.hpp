#pragma once

#include "screens/Settings.hpp"

#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

// Keeps the settings file up to date without making the game wait for the disk: the file is
// replaced in one step, as the settings' own write does, but on a thread of its own, since the
// replacement ends by flushing the file to the disk, which can take most of a frame. Saves that
// come faster than the disk coalesce: only the newest is written. What is still to be written when
// the writer is destroyed (at the end of the run) is written first. A file that cannot be written
// is reported once per run, not at every key.
//
// At start it removes the temporary files that a run killed while it wrote left beside the file.
class SettingsWriter {
public:
    // Writes the settings into the file; false, with the reason in problem, when it cannot.
    using Write = std::function<bool(const Settings& settings, const std::filesystem::path& file,
                                     std::string& problem)>;

    explicit SettingsWriter(std::filesystem::path file, Write write = &writeSettings);
    ~SettingsWriter();
    SettingsWriter(const SettingsWriter&) = delete;
    SettingsWriter& operator=(const SettingsWriter&) = delete;

    // Returns at once; the settings are written soon after.
    void save(const Settings& settings);

private:
    static bool writeSettings(const Settings& settings, const std::filesystem::path& file,
                              std::string& problem);
    void writeWhatIsSaved();

    const std::filesystem::path file;
    const Write write;
    // Shared with the worker, under the mutex.
    std::mutex mutex;
    std::condition_variable saved;
    std::optional<Settings> pending;
    bool stopping = false;
    // The worker's own.
    bool reported = false;
    // Started by the first save: most runs change no setting.
    std::thread worker;
};
