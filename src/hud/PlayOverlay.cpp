#include "hud/PlayOverlay.hpp"

#include "actors/Bindings.hpp"
#include "core/KeyNames.hpp"
#include "core/Translation.hpp"

#include <SFML/Graphics/RenderTarget.hpp>

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// Heights as shares of the window's; play shows in the top 0.8 of it, above the HUD banner.
const float PlayCentre = 0.4f;
const float TitleSize = 0.12f;
const float HintSize = 0.045f;
const float KeysSize = 0.035f;
const float Outline = 0.006f;
const float TimeMargin = 0.02f;

void placeCentred(sf::Text& text, float x, float y) {
    const sf::FloatRect bounds = text.getLocalBounds();
    text.setOrigin(bounds.left + bounds.width / 2.f, bounds.top + bounds.height / 2.f);
    text.setPosition(std::round(x), std::round(y));
}

void styleTitle(sf::Text& text, float height) {
    text.setCharacterSize(static_cast<unsigned>(std::lround(height * TitleSize)));
    text.setFillColor(sf::Color::White);
    text.setOutlineColor(sf::Color::Black);
    text.setOutlineThickness(std::max(1.f, std::round(height * Outline)));
}

std::string name(const Bindings& controls, Bindings::Action action) {
    return KeyNames::shown(controls.key(action));
}

} // namespace

const sf::Time PlayOverlay::LevelShownFor = sf::seconds(2.f);

PlayOverlay::PlayOverlay(sf::Vector2u windowSize, const sf::Font& titleFont,
                         const sf::Font& textFont, const Bindings& controls)
    : levelText("", titleFont), pausedText(Translation::shown(tr("Paused")), titleFont),
      hintText(
          Translation::shown(tr("%s to resume, Escape to quit", {name(controls, Bindings::Pause)})),
          textFont),
      keysText(
          Translation::shown(tr("%s and %s drive, %s jumps, %s mutes",
                                {name(controls, Bindings::Left), name(controls, Bindings::Right),
                                 name(controls, Bindings::Jump), name(controls, Bindings::Mute)})),
          textFont),
      timeText("", textFont) {
    dimmer.setFillColor(sf::Color(0, 0, 0, 150));
    hintText.setFillColor(sf::Color(230, 230, 230));
    keysText.setFillColor(sf::Color(230, 230, 230));
    timeText.setFillColor(sf::Color::White);
    timeText.setOutlineColor(sf::Color::Black);
    layOut(windowSize);
}

void PlayOverlay::layOut(sf::Vector2u windowSize) {
    const float height = static_cast<float>(windowSize.y);
    playCentre = sf::Vector2f(static_cast<float>(windowSize.x) / 2.f, height * PlayCentre);
    dimmer.setSize(sf::Vector2f(windowSize));
    styleTitle(levelText, height);
    styleTitle(pausedText, height);
    placeCentred(levelText, playCentre.x, playCentre.y);
    placeCentred(pausedText, playCentre.x, playCentre.y - height * 0.05f);
    hintText.setCharacterSize(static_cast<unsigned>(std::lround(height * HintSize)));
    placeCentred(hintText, playCentre.x, playCentre.y + height * 0.07f);
    keysText.setCharacterSize(static_cast<unsigned>(std::lround(height * KeysSize)));
    placeCentred(keysText, playCentre.x, playCentre.y + height * 0.14f);
    timeText.setCharacterSize(static_cast<unsigned>(std::lround(height * HintSize)));
    timeText.setOutlineThickness(std::max(1.f, std::round(height * Outline / 2.f)));
    timeText.setPosition(std::round(height * TimeMargin), std::round(height * TimeMargin));
}

void PlayOverlay::showLevel(int level) {
    levelText.setString(Translation::shown(tr("Level %d", {std::to_string(level)})));
    placeCentred(levelText, playCentre.x, playCentre.y);
    levelShownLeft = LevelShownFor;
}

void PlayOverlay::showTime(sf::Time time, bool replay) {
    timeText.setString(replay ? Translation::shown(tr("Replay  %s", {clock(time)}))
                              : sf::String(clock(time)));
    timeShown = true;
}

std::string PlayOverlay::clock(sf::Time time) {
    const sf::Int64 tenths = std::max<sf::Int64>(0, time.asMicroseconds() / 100000);
    const sf::Int64 seconds = tenths / 10 % 60;
    return std::to_string(tenths / 600) + ":" + (seconds < 10 ? "0" : "") +
           std::to_string(seconds) + "." + std::to_string(tenths % 10);
}

void PlayOverlay::update(sf::Time dt) {
    levelShownLeft = std::max(sf::Time::Zero, levelShownLeft - dt);
}

void PlayOverlay::draw(sf::RenderTarget& target, bool paused) const {
    target.setView(target.getDefaultView());
    if (timeShown)
        target.draw(timeText);
    if (paused) {
        target.draw(dimmer);
        target.draw(pausedText);
        target.draw(hintText);
        target.draw(keysText);
    } else if (levelShownLeft > sf::Time::Zero) {
        target.draw(levelText);
    }
}
