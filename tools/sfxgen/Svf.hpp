#pragma once

namespace sfxgen {

// State-variable filter (trapezoidal form): stays stable while the cutoff sweeps every few
// samples, which the effects and the synth bass rely on.
class Svf {
public:
    enum class Mode { Low, High, Band };

    explicit Svf(Mode mode = Mode::Low) : mMode(mode) {}

    void tune(double cutoff, double q, double sampleRate);
    float process(float input);

private:
    Mode mMode;
    double mA1 = 0.0, mA2 = 0.0, mA3 = 0.0, mK = 1.0;
    double mIc1 = 0.0, mIc2 = 0.0;
};

} // namespace sfxgen
