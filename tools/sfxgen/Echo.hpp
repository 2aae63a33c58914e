#pragma once

#include <vector>

namespace sfxgen {

// A ping-pong delay: the first repeat comes from the left, the next from the right, each one
// duller (low-passed) than the last. Mono in, stereo out.
class Echo {
public:
    Echo(double seconds, double feedback, double cutoff);

    void process(float input, float& left, float& right);

private:
    std::vector<float> mLeft;
    std::vector<float> mRight;
    std::size_t mIndex = 0;
    float mFeedback;
    float mSmoothing;
    float mToneLeft = 0.0f;
    float mToneRight = 0.0f;
};

} // namespace sfxgen
