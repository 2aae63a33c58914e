#include "autoplay/PlayerView.hpp"

bool PlayerView::Wolf::operator==(const Wolf& other) const {
    return id == other.id && position == other.position && size == other.size &&
           shape == other.shape && velocity == other.velocity && grounded == other.grounded &&
           stunned == other.stunned;
}

bool PlayerView::PowerUp::operator==(const PowerUp& other) const {
    return id == other.id && kind == other.kind && body == other.body && velocity == other.velocity;
}

bool PlayerView::Tank::operator==(const Tank& other) const {
    return intact == other.intact && position == other.position && velocity == other.velocity &&
           acceleration == other.acceleration && grounded == other.grounded;
}

bool PlayerView::operator==(const PlayerView& other) const {
    return level == other.level && levelTime == other.levelTime && lives == other.lives &&
           counters == other.counters && tank == other.tank && window == other.window &&
           wolves == other.wolves && powerUps == other.powerUps && map == other.map;
}
