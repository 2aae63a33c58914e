// libFuzzer target: each input is a name, a user list and a user file (see FuzzEntryPoints.hpp).
#include "FuzzEntryPoints.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzz::stopOnProblem("fuzz_user_files", fuzz::readUserFiles(data, size));
}
