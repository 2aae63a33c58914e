// libFuzzer target: each input is a level script (see FuzzEntryPoints.hpp).
#include "FuzzEntryPoints.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (fuzz::skipLevelScript(std::string(reinterpret_cast<const char*>(data), size)))
        return 0;
    return fuzz::stopOnProblem("fuzz_level", fuzz::loadLevel(data, size));
}
