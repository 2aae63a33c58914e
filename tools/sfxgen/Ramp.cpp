#include "Ramp.hpp"

#include <algorithm>
#include <cmath>

namespace sfxgen {

double Ramp::at(double seconds, double wholeLength) const {
    if (!moving()) {
        return from;
    }
    const double span = time > 0.0 ? time : wholeLength;
    const double x = span > 0.0 ? std::clamp(seconds / span, 0.0, 1.0) : 1.0;
    if (exponential) {
        return from * std::pow(to / from, x);
    }
    return from + (to - from) * x;
}

} // namespace sfxgen
