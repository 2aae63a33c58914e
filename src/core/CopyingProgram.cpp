#include "core/CopyingProgram.hpp"

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/OpenGL.hpp>
#include <SFML/Window/Context.hpp>

#include <GL/glext.h>
#include <GL/glx.h>

#include <cstring>

namespace {

// The texture coordinates come from the fixed vertex stage through the library's texture matrix,
// which is affine, so TEX reads the texel the projective lookup would.
const char* const Source = "!!ARBfp1.0\n"
                           "TEX result.color, fragment.texcoord[0], texture[0], 2D;\n"
                           "END\n";

struct Functions {
    PFNGLGENPROGRAMSARBPROC gen = nullptr;
    PFNGLBINDPROGRAMARBPROC bind = nullptr;
    PFNGLPROGRAMSTRINGARBPROC load = nullptr;
    PFNGLDELETEPROGRAMSARBPROC remove = nullptr;
};

const Functions& functions() {
    static const Functions found = [] {
        Functions f;
        f.gen =
            reinterpret_cast<PFNGLGENPROGRAMSARBPROC>(sf::Context::getFunction("glGenProgramsARB"));
        f.bind =
            reinterpret_cast<PFNGLBINDPROGRAMARBPROC>(sf::Context::getFunction("glBindProgramARB"));
        f.load = reinterpret_cast<PFNGLPROGRAMSTRINGARBPROC>(
            sf::Context::getFunction("glProgramStringARB"));
        f.remove = reinterpret_cast<PFNGLDELETEPROGRAMSARBPROC>(
            sf::Context::getFunction("glDeleteProgramsARB"));
        return f;
    }();
    return found;
}

bool supported() {
    const auto* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (!extensions || !std::strstr(extensions, "GL_ARB_fragment_program"))
        return false;
    const Functions& f = functions();
    return f.gen && f.bind && f.load && f.remove;
}

} // namespace

void CopyingProgram::make() const {
    tried = true;
    if (!glXGetCurrentContext() || !supported())
        return;
    const Functions& f = functions();
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
    GLuint made = 0;
    f.gen(1, &made);
    f.bind(GL_FRAGMENT_PROGRAM_ARB, made);
    f.load(GL_FRAGMENT_PROGRAM_ARB, GL_PROGRAM_FORMAT_ASCII_ARB,
           static_cast<GLsizei>(std::strlen(Source)), Source);
    f.bind(GL_FRAGMENT_PROGRAM_ARB, 0);
    if (glGetError() != GL_NO_ERROR) {
        f.remove(1, &made);
        return;
    }
    program = made;
}

CopyingProgram::~CopyingProgram() {
    if (program != 0 && glXGetCurrentContext())
        functions().remove(1, &program);
}

void CopyingProgram::draw(sf::RenderTarget& target, const sf::Drawable& picture,
                          const sf::RenderStates& states) const {
    if (!target.setActive(true)) {
        target.draw(picture, states);
        return;
    }
    if (!tried)
        make();
    if (program == 0) {
        target.draw(picture, states);
        return;
    }
    const Functions& f = functions();
    f.bind(GL_FRAGMENT_PROGRAM_ARB, program);
    glEnable(GL_FRAGMENT_PROGRAM_ARB);
    target.draw(picture, states);
    glDisable(GL_FRAGMENT_PROGRAM_ARB);
    f.bind(GL_FRAGMENT_PROGRAM_ARB, 0);
}
