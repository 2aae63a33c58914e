#include "Echo.hpp"

#include "Rendering.hpp"

#include <algorithm>
#include <cmath>

namespace sfxgen {

Echo::Echo(double seconds, double feedback, double cutoff)
    : mLeft(std::max<std::size_t>(1, static_cast<std::size_t>(seconds * sampleRate))),
      mRight(mLeft.size()), mFeedback(static_cast<float>(feedback)),
      mSmoothing(static_cast<float>(1.0 - std::exp(-2.0 * M_PI * cutoff / sampleRate))) {}

void Echo::process(float input, float& left, float& right) {
    left = mLeft[mIndex];
    right = mRight[mIndex];
    mToneLeft += mSmoothing * (left - mToneLeft);
    mToneRight += mSmoothing * (right - mToneRight);
    mLeft[mIndex] = input + mFeedback * mToneRight;
    mRight[mIndex] = mFeedback * mToneLeft;
    mIndex = mIndex + 1 == mLeft.size() ? 0 : mIndex + 1;
}

} // namespace sfxgen
