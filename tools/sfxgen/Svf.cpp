#include "Svf.hpp"

#include <algorithm>
#include <cmath>

namespace sfxgen {

void Svf::tune(double cutoff, double q, double sampleRate) {
    const double limited = std::clamp(cutoff, 10.0, sampleRate * 0.45);
    const double g = std::tan(M_PI * limited / sampleRate);
    mK = 1.0 / std::max(q, 0.1);
    mA1 = 1.0 / (1.0 + g * (g + mK));
    mA2 = g * mA1;
    mA3 = g * mA2;
}

float Svf::process(float input) {
    const double v3 = input - mIc2;
    const double v1 = mA1 * mIc1 + mA2 * v3;
    const double v2 = mIc2 + mA2 * mIc1 + mA3 * v3;
    mIc1 = 2.0 * v1 - mIc1;
    mIc2 = 2.0 * v2 - mIc2;
    switch (mMode) {
    case Mode::Low:
        return static_cast<float>(v2);
    case Mode::Band:
        return static_cast<float>(v1);
    case Mode::High:
        break;
    }
    return static_cast<float>(input - mK * v1 - v2);
}

} // namespace sfxgen
