// libFuzzer target: each input is a level script (see FuzzEntryPoints.hpp).
#include "FuzzEntryPoints.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzz::stopOnProblem("fuzz_level", fuzz::loadLevel(data, size));
}
