#include "AudioWriter.hpp"

#include <SFML/Audio/OutputSoundFile.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace sfxgen {

std::string writeAudio(const Rendering& rendering, const std::string& path) {
    if (rendering.samples.empty()) {
        return "nothing to write";
    }
    float peak = 0.0f;
    for (const float s : rendering.samples) {
        peak = std::max(peak, std::fabs(s));
    }
    if (peak <= 0.0f || !std::isfinite(peak)) {
        return "the sound is silent or not finite";
    }
    const double target = std::pow(10.0, rendering.peakDecibels / 20.0) * 32767.0;
    const double scale = target / peak;
    std::vector<sf::Int16> pcm(rendering.samples.size());
    for (std::size_t i = 0; i < pcm.size(); ++i) {
        pcm[i] = static_cast<sf::Int16>(std::lround(rendering.samples[i] * scale));
    }
    sf::OutputSoundFile file;
    if (!file.openFromFile(path, static_cast<unsigned>(sampleRate), rendering.channels)) {
        return "cannot open '" + path + "' for writing";
    }
    file.write(pcm.data(), pcm.size());
    return "";
}

} // namespace sfxgen
