#pragma once

#include <array>
#include <vector>

namespace sfxgen {

// A Schroeder-Moorer room (eight damped combs into four all-passes per side, the right side's
// delays a little longer for width): mono in, stereo out.
class Reverb {
public:
    Reverb(double room, double damp);

    void process(float input, float& left, float& right);

private:
    struct Comb {
        std::vector<float> buffer;
        std::size_t index = 0;
        float store = 0.0f;
        float process(float input, float feedback, float damp);
    };
    struct Allpass {
        std::vector<float> buffer;
        std::size_t index = 0;
        float process(float input);
    };
    struct Side {
        std::array<Comb, 8> combs;
        std::array<Allpass, 4> allpasses;
        float process(float input, float feedback, float damp);
    };

    float mFeedback;
    float mDamp;
    Side mLeft;
    Side mRight;
};

} // namespace sfxgen
