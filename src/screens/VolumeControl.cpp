#include "screens/VolumeControl.hpp"

#include "core/MusicPlayer.hpp"
#include "core/SoundPlayer.hpp"
#include "core/Translation.hpp"
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

int stepped(int volume, int steps) {
    return std::clamp(volume + steps * Settings::VolumeStep, 0, Settings::MaxVolume);
}

std::string levels(const Settings& settings) {
    if (settings.muted)
        return tr("Muted");
    if (settings.music == settings.effects)
        return tr("Volume %d %%", {std::to_string(settings.music)});
    return tr("Music %d %%, effects %d %%",
              {std::to_string(settings.music), std::to_string(settings.effects)});
}

} // namespace

const sf::Time VolumeControl::ShownFor = sf::seconds(1.f);

VolumeControl::VolumeControl(std::filesystem::path settingsFile, MusicPlayer& music)
    : settings(settingsFile.empty() ? Settings() : Settings::read(settingsFile)), music(music) {
    if (!settingsFile.empty())
        writer = std::make_unique<SettingsWriter>(std::move(settingsFile));
    apply();
    Translation::useLanguage(settings.language);
}

// The audio library keeps the levels for a device opened later, so this needs none.
void VolumeControl::apply() const {
    sf::Listener::setGlobalVolume(settings.muted ? 0.f : 100.f);
    music.setVolume(static_cast<float>(settings.music));
    soundPlayer().setVolume(static_cast<float>(settings.effects));
}

VolumeControl::~VolumeControl() = default;

bool VolumeControl::handleEvent(const sf::Event& event) {
    if (event.type != sf::Event::KeyPressed)
        return false;
    const int steps = Bindings::volumeStep(event.key.code);
    Settings next = settings;
    if (event.key.code == settings.controls.key(Bindings::Mute)) {
        next.muted = !next.muted;
    } else if (steps != 0) {
        next.music = stepped(next.music, steps);
        next.effects = stepped(next.effects, steps);
        next.muted = false;
    } else {
        return false;
    }
    shownLeft = ShownFor;
    change(next);
    return true;
}

void VolumeControl::change(const Settings& next) {
    if (next == settings)
        return;
    const bool newLanguage = next.language != settings.language;
    settings = next;
    apply();
    if (newLanguage)
        Translation::useLanguage(settings.language);
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
    sf::Text label(Translation::shown(levels(settings)), font,
                   static_cast<unsigned>(std::lround(size.y * 0.045f)));
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
