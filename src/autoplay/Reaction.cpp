#include "autoplay/Reaction.hpp"

const PlayerView& Reaction::look(PlayerView now) {
    // A new level (or the same one anew): the last one's views and controls say nothing of it.
    if (!views.empty() &&
        (now.level != views.back().level || now.levelTime <= views.back().levelTime)) {
        views.clear();
        held.clear();
    }
    views.push_back(std::move(now));
    if (static_cast<int>(views.size()) > delay + 1) {
        views.pop_front();
        held.pop_front();
    }
    return views.front();
}

void Reaction::hold(const Controls& controls) {
    held.push_back(controls);
}
