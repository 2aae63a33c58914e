#include "core/DisplayProbe.hpp"

#include <X11/Xlib.h>

#include <cstdlib>

std::optional<std::string> DisplayProbe::whyUnavailable() {
    if (::Display* display = XOpenDisplay(nullptr)) {
        XCloseDisplay(display);
        return std::nullopt;
    }
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name)
        return std::string("no display can be opened (DISPLAY is not set)");
    return "no display can be opened (cannot open display \"" + std::string(name) + "\")";
}
