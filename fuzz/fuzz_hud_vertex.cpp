// libFuzzer target: each input is a HUD script run with the vertex functions (see
// FuzzEntryPoints.hpp).
#include "FuzzEntryPoints.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (fuzz::skipHudScript(std::string(reinterpret_cast<const char*>(data), size)))
        return 0;
    return fuzz::stopOnProblem("fuzz_hud_vertex", fuzz::runHudScript(data, size));
}
