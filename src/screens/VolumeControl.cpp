#include "screens/VolumeControl.hpp"

#include "screens/SettingsWriter.hpp"

#include <SFML/Audio/Listener.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Window/Event.hpp>

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// The audio library keeps the level for a device opened later, so this needs none.
void apply(const Settings& settings) {
    sf::Listener::setGlobalVolume(settings.muted ? 0.f : static_cast<float>(settings.volume));
}

} // namespace

const sf::Time VolumeControl::ShownFor = sf::seconds(1.f);

VolumeControl::VolumeControl(std::filesystem::path settingsFile)
    : settings(settingsFile.empty() ? Settings() : Settings::read(settingsFile)) {
    if (!settingsFile.empty())
        writer = std::make_unique<SettingsWriter>(std::move(settingsFile));
    apply(settings);
}

VolumeControl::~VolumeControl() = default;

bool VolumeControl::handleEvent(const sf::Event& event) {
    if (event.type != sf::Event::KeyPressed)
        return false;
    Settings next = settings;
    switch (event.key.code) {
    case sf::Keyboard::M:
        next.muted = !next.muted;
        break;
    case sf::Keyboard::Hyphen:
    case sf::Keyboard::Subtract:
        next.volume = std::max(0, next.volume - Settings::VolumeStep);
        next.muted = false;
        break;
    case sf::Keyboard::Equal: // '+' on most keyboards
    case sf::Keyboard::Add:
        next.volume = std::min(Settings::MaxVolume, next.volume + Settings::VolumeStep);
        next.muted = false;
        break;
    default:
        return false;
    }
    change(next);
    return true;
}

void VolumeControl::change(const Settings& next) {
    shownLeft = ShownFor;
    if (next == settings)
        return;
    settings = next;
    apply(settings);
    if (writer)
        writer->save(settings);
}

void VolumeControl::update(sf::Time dt) {
    shownLeft = std::max(sf::Time::Zero, shownLeft - dt);
}

void VolumeControl::draw(sf::RenderTarget& target, const sf::Font& font) const {
    if (shownLeft <= sf::Time::Zero)
        return;
    const sf::Vector2f size(target.getSize());
    target.setView(target.getDefaultView());
    sf::Text label(settings.muted ? "Muted" : "Volume " + std::to_string(settings.volume) + " %",
                   font, static_cast<unsigned>(std::lround(size.y * 0.045f)));
    label.setFillColor(sf::Color::White);
    const sf::FloatRect bounds = label.getLocalBounds();
    const float margin = size.y * 0.03f;
    const float padding = size.y * 0.015f;
    sf::RectangleShape box(
        sf::Vector2f(bounds.width + 2.f * padding, bounds.top + bounds.height + 2.f * padding));
    box.setFillColor(sf::Color(0, 0, 0, 170));
    box.setPosition(size.x - margin - box.getSize().x, margin);
    label.setPosition(box.getPosition().x + padding - bounds.left, margin + padding);
    target.draw(box);
    target.draw(label);
}
