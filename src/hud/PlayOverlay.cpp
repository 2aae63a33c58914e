#include "hud/PlayOverlay.hpp"

#include <SFML/Graphics/RenderTarget.hpp>

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// Heights as shares of the window's; play shows in the top 0.8 of it, above the HUD banner.
const float PlayCentre = 0.4f;
const float TitleSize = 0.12f;
const float HintSize = 0.045f;
const float Outline = 0.006f;
const float TimeMargin = 0.02f;

void placeCentred(sf::Text& text, float x, float y) {
    const sf::FloatRect bounds = text.getLocalBounds();
    text.setOrigin(bounds.left + bounds.width / 2.f, bounds.top + bounds.height / 2.f);
    text.setPosition(std::round(x), std::round(y));
}

sf::Text title(const sf::Font& font, float height) {
    sf::Text text("", font, static_cast<unsigned>(std::lround(height * TitleSize)));
    text.setFillColor(sf::Color::White);
    text.setOutlineColor(sf::Color::Black);
    text.setOutlineThickness(std::max(1.f, std::round(height * Outline)));
    return text;
}

} // namespace

const sf::Time PlayOverlay::LevelShownFor = sf::seconds(2.f);

PlayOverlay::PlayOverlay(sf::Vector2u windowSize, const sf::Font& titleFont,
                         const sf::Font& textFont)
    : playCentre(static_cast<float>(windowSize.x) / 2.f,
                 static_cast<float>(windowSize.y) * PlayCentre),
      dimmer(sf::Vector2f(windowSize)),
      levelText(title(titleFont, static_cast<float>(windowSize.y))),
      pausedText(title(titleFont, static_cast<float>(windowSize.y))),
      hintText("P to resume, Escape to quit", textFont,
               static_cast<unsigned>(std::lround(static_cast<float>(windowSize.y) * HintSize))),
      timeText("", textFont,
               static_cast<unsigned>(std::lround(static_cast<float>(windowSize.y) * HintSize))) {
    const float height = static_cast<float>(windowSize.y);
    dimmer.setFillColor(sf::Color(0, 0, 0, 150));
    pausedText.setString("Paused");
    placeCentred(pausedText, playCentre.x, playCentre.y - height * 0.05f);
    hintText.setFillColor(sf::Color(230, 230, 230));
    placeCentred(hintText, playCentre.x, playCentre.y + height * 0.07f);
    timeText.setFillColor(sf::Color::White);
    timeText.setOutlineColor(sf::Color::Black);
    timeText.setOutlineThickness(std::max(1.f, std::round(height * Outline / 2.f)));
    timeText.setPosition(std::round(height * TimeMargin), std::round(height * TimeMargin));
}

void PlayOverlay::showLevel(int level) {
    levelText.setString("Level " + std::to_string(level));
    placeCentred(levelText, playCentre.x, playCentre.y);
    levelShownLeft = LevelShownFor;
}

void PlayOverlay::showTime(sf::Time time, bool replay) {
    timeText.setString((replay ? "Replay  " : "") + clock(time));
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
    } else if (levelShownLeft > sf::Time::Zero) {
        target.draw(levelText);
    }
}
