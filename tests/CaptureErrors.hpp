#pragma once
// Collects what the game writes to std::cerr while the object lives, so a test can check that a
// problem is reported and names its file.

#include <iostream>
#include <sstream>
#include <string>

namespace testsupport {

class CaptureErrors {
public:
    CaptureErrors() : previous(std::cerr.rdbuf(captured.rdbuf())) {}
    ~CaptureErrors() { std::cerr.rdbuf(previous); }
    CaptureErrors(const CaptureErrors&) = delete;
    CaptureErrors& operator=(const CaptureErrors&) = delete;
    std::string text() const { return captured.str(); }

private:
    std::ostringstream captured;
    std::streambuf* previous;
};

} // namespace testsupport
