// sfxgen: renders one sound description from assets/audio into an audio file.
//   sfxgen <description> <output.ogg>
#include "AudioWriter.hpp"
#include "Description.hpp"
#include "DescriptionError.hpp"

#include <fstream>
#include <iostream>
#include <sstream>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: sfxgen <description> <output.ogg>\n";
        return 2;
    }
#if defined(__SSE__)
    // Decaying reverb and filter tails would otherwise crawl through denormal numbers.
    _mm_setcsr(_mm_getcsr() | 0x8040);
#endif
    const std::string input = argv[1];
    const std::string output = argv[2];
    std::ifstream file(input);
    if (!file) {
        std::cerr << input << ": cannot be read\n";
        return 1;
    }
    std::ostringstream text;
    text << file.rdbuf();
    try {
        const sfxgen::Rendering rendering = sfxgen::renderDescription(text.str(), input);
        const std::string problem = sfxgen::writeAudio(rendering, output);
        if (!problem.empty()) {
            std::cerr << output << ": " << problem << '\n';
            return 1;
        }
    } catch (const sfxgen::DescriptionError& error) {
        std::cerr << error.what() << '\n';
        return 1;
    } catch (const std::exception& error) {
        std::cerr << input << ": " << error.what() << '\n';
        return 1;
    }
    return 0;
}
