#include "screens/SettingsWriter.hpp"

#include "screens/UserFiles.hpp"

#include <iostream>

SettingsWriter::SettingsWriter(std::filesystem::path file, Write write)
    : file(std::move(file)), write(std::move(write)) {
    const std::string name = this->file.filename().string();
    UserFiles::removeLeftovers(this->file.has_parent_path() ? this->file.parent_path() : ".",
                               [&name](const std::string& target) { return target == name; });
}

SettingsWriter::~SettingsWriter() {
    {
        const std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    saved.notify_one();
    if (worker.joinable())
        worker.join();
}

void SettingsWriter::save(const Settings& settings) {
    {
        const std::lock_guard<std::mutex> lock(mutex);
        pending = settings;
    }
    if (!worker.joinable())
        worker = std::thread(&SettingsWriter::writeWhatIsSaved, this);
    saved.notify_one();
}

bool SettingsWriter::writeSettings(const Settings& settings, const std::filesystem::path& file,
                                   std::string& problem) {
    return settings.write(file, problem);
}

void SettingsWriter::writeWhatIsSaved() {
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        saved.wait(lock, [this] { return pending || stopping; });
        if (!pending)
            return;
        const Settings settings = *pending;
        pending.reset();
        lock.unlock();
        std::string problem;
        if (!write(settings, file, problem) && !reported) {
            reported = true;
            std::cerr << file.string() << ": " << problem << "; the settings are not kept\n";
        }
        lock.lock();
    }
}
