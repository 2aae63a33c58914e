#include "screens/ParallelTask.hpp"

#include "core/AudioDevice.hpp"
#include "core/ResourceHolder.hpp"
#include "screens/MenuState.hpp"
#include "screens/UserFiles.hpp"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <exception>
#include <iostream>

ParallelTask::ParallelTask(State::Context context) : context(context) {}

ParallelTask::~ParallelTask() {
    wait();
}

void ParallelTask::execute() {
    if (thread.joinable())
        return;
    finished.store(false, std::memory_order_relaxed);
    thread = std::thread(&ParallelTask::load, context, &finished);
}

bool ParallelTask::isFinished() const {
    return finished.load(std::memory_order_acquire);
}

void ParallelTask::wait() {
    if (thread.joinable())
        thread.join();
}

void ParallelTask::load(State::Context context, std::atomic<bool>* finished) {
    try {
        MenuState::loadPictures(*context.textures);
        for (const Fonts::Fonts font : {Fonts::MenuTitle, Fonts::MenuButton})
            context.fonts->load(font, Fonts::fileName(font));
        UserFiles(context.userFolder).findCurrentUser(*context.profile);
        // Opening it takes a while on some machines; the menu's music needs it next.
        audioDevice();
    } catch (const std::exception& error) {
        // The menu still follows, with whatever was loaded.
        std::cerr << "Loading the menu failed: " << error.what() << "\n";
    }
    finished->store(true, std::memory_order_release);
}
