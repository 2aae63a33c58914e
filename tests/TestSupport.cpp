#include "TestSupport.hpp"

#include "core/Translation.hpp"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace testsupport {

TempDir::TempDir() {
    std::random_device seed;
    std::mt19937_64 engine(
        seed() ^
        static_cast<unsigned long>(std::chrono::steady_clock::now().time_since_epoch().count()));
    for (;;) {
        dir = fs::temp_directory_path() / ("quellix-test-" + std::to_string(engine()));
        if (fs::create_directory(dir))
            break;
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(dir, ignored);
}

ScopedCwd::ScopedCwd(const fs::path& dir) : previous(fs::current_path()) {
    fs::current_path(dir);
}

ScopedCwd::~ScopedCwd() {
    std::error_code ignored;
    fs::current_path(previous, ignored);
}

ScopedLanguage::ScopedLanguage(const std::string& code) {
    Translation::useCatalogues(dataDir() / "Locale");
    Translation::useLanguage(code);
}

ScopedLanguage::~ScopedLanguage() {
    Translation::useCatalogues(dataDir() / "no catalogues");
    Translation::useLanguage("en");
}

void writeFile(const fs::path& file, const std::string& content) {
    if (file.has_parent_path())
        fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << content;
}

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

fs::path dataDir() {
    return QUELLIX_DATA_DIR;
}

void copyDataDir(const fs::path& target) {
    fs::create_directories(target);
    for (const auto& entry : fs::directory_iterator(dataDir())) {
        if (entry.path().filename() == "User")
            continue;
        fs::copy(entry.path(), target / entry.path().filename(),
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    }
}

sf::Event keyPressed(sf::Keyboard::Key code) {
    sf::Event event;
    event.type = sf::Event::KeyPressed;
    event.key = {code, false, false, false, false};
    return event;
}

int run(const std::string& command) {
    const int status = std::system(command.c_str());
    if (status == -1 || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

GameProcess::GameProcess(const fs::path& dataFolder, const std::string& environment,
                         const std::vector<std::string>& arguments)
    : errorFile(dataFolder / "stderr.txt") {
    const std::string binary = std::string(QUELLIX_BINARY_DIR) + "/quellix";
    std::vector<char*> argv{const_cast<char*>(binary.c_str())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid = fork();
    if (pid == 0) {
        if (chdir(dataFolder.c_str()) != 0)
            _exit(127);
        const int err = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (err >= 0) {
            dup2(err, 2);
            close(err);
        }
        std::istringstream assignments(environment);
        std::string assignment;
        while (assignments >> assignment)
            putenv(strdup(assignment.c_str()));
        execv(binary.c_str(), argv.data());
        _exit(127);
    }
}

GameProcess::~GameProcess() {
    if (isRunning()) {
        kill(pid, SIGCONT);
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

bool GameProcess::isRunning() {
    if (pid <= 0 || status >= 0)
        return false;
    int raw = 0;
    const int result = waitpid(pid, &raw, WNOHANG);
    if (result == 0)
        return true;
    status = (result == pid && WIFEXITED(raw)) ? WEXITSTATUS(raw) : 255;
    return false;
}

bool GameProcess::waitForWindow(double seconds) {
    const std::string command =
        "timeout " + std::to_string(seconds) +
        " xdotool search --sync --onlyvisible --name Gravelmoth >/dev/null 2>&1";
    return run(command) == 0;
}

int GameProcess::waitForExit(double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (isRunning() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return isRunning() ? -1 : status;
}

void GameProcess::pause() {
    if (isRunning())
        kill(pid, SIGSTOP);
}

void GameProcess::resume() {
    if (pid > 0)
        kill(pid, SIGCONT);
}

std::string GameProcess::errors() const {
    return readFile(errorFile);
}

void xdotool(const std::string& arguments) {
    // xdotool reads the text to type in the locale's encoding; a machine without a locale set
    // would drop every letter beyond ASCII.
    run("LC_ALL=C.UTF-8 xdotool " + arguments + " >/dev/null 2>&1");
}

namespace {
// Sends WM_DELETE_WINDOW to the windows below `parent` whose name is `title`.
void sendDelete(Display* display, Window parent, const std::string& title) {
    Window root = 0, ignored = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &ignored, &children, &count))
        return;
    for (unsigned i = 0; i < count; ++i) {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name && title == name) {
            XEvent event{};
            event.xclient.type = ClientMessage;
            event.xclient.window = children[i];
            event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
            event.xclient.format = 32;
            event.xclient.data.l[0] =
                static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
            event.xclient.data.l[1] = CurrentTime;
            XSendEvent(display, children[i], False, NoEventMask, &event);
        }
        if (name)
            XFree(name);
        sendDelete(display, children[i], title);
    }
    if (children)
        XFree(children);
}
} // namespace

void closeWindow(const std::string& title) {
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return;
    sendDelete(display, DefaultRootWindow(display), title);
    XSync(display, False);
    XCloseDisplay(display);
}

sf::Image screenshot() {
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        throw std::runtime_error("no X display for a screenshot");
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, root, &attributes);
    XImage* picture = XGetImage(display, root, 0, 0, static_cast<unsigned>(attributes.width),
                                static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    sf::Image image;
    image.create(static_cast<unsigned>(attributes.width), static_cast<unsigned>(attributes.height));
    if (picture) {
        for (int y = 0; y < attributes.height; ++y)
            for (int x = 0; x < attributes.width; ++x) {
                const unsigned long pixel = XGetPixel(picture, x, y);
                image.setPixel(static_cast<unsigned>(x), static_cast<unsigned>(y),
                               sf::Color(static_cast<sf::Uint8>((pixel >> 16) & 0xff),
                                         static_cast<sf::Uint8>((pixel >> 8) & 0xff),
                                         static_cast<sf::Uint8>(pixel & 0xff)));
            }
        XDestroyImage(picture);
    }
    XCloseDisplay(display);
    return image;
}

std::pair<std::size_t, std::size_t> changedPixels(const sf::Image& a, const sf::Image& b,
                                                  const sf::IntRect& area) {
    const auto size = a.getSize();
    if (size != b.getSize() || size.x == 0)
        return {0, static_cast<std::size_t>(std::max(size.x * size.y, 1u))};
    std::pair<std::size_t, std::size_t> counts{0, 0};
    const sf::Uint8* pa = a.getPixelsPtr();
    const sf::Uint8* pb = b.getPixelsPtr();
    for (unsigned y = 0; y < size.y; ++y)
        for (unsigned x = 0; x < size.x; ++x, pa += 4, pb += 4)
            if (std::memcmp(pa, pb, 4) != 0)
                ++(area.contains(static_cast<int>(x), static_cast<int>(y)) ? counts.first
                                                                           : counts.second);
    return counts;
}

double difference(const sf::Image& a, const sf::Image& b) {
    const auto [in, out] = changedPixels(a, b, sf::IntRect());
    const auto size = a.getSize();
    return size.x == 0 ? 1.0
                       : static_cast<double>(in + out) / (static_cast<double>(size.x) * size.y);
}

struct TestScreen::Connection {
    Display* display;
};

TestScreen::TestScreen() : display(std::make_unique<Connection>()) {
    display->display = XOpenDisplay(nullptr);
}

TestScreen::~TestScreen() {
    if (display->display)
        XCloseDisplay(display->display);
}

void TestScreen::movePointer(int x, int y) {
    Display* connection = display->display;
    if (!connection)
        return;
    XWarpPointer(connection, 0, DefaultRootWindow(connection), 0, 0, 0, 0, x, y);
    XSync(connection, False);
}

sf::Image TestScreen::shot() {
    Display* connection = display->display;
    if (!connection)
        return screenshot();
    XWindowAttributes attributes{};
    XGetWindowAttributes(connection, DefaultRootWindow(connection), &attributes);
    XImage* picture = XGetImage(connection, DefaultRootWindow(connection), 0, 0,
                                static_cast<unsigned>(attributes.width),
                                static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!picture)
        return screenshot();
    if (picture->bits_per_pixel != 32 || picture->byte_order != LSBFirst) {
        XDestroyImage(picture);
        return screenshot();
    }
    // 32-bit pixels with the blue byte first: reorder to red, green, blue, opaque.
    const auto width = static_cast<unsigned>(attributes.width);
    const auto height = static_cast<unsigned>(attributes.height);
    std::vector<sf::Uint8> rgba(static_cast<std::size_t>(width) * height * 4);
    for (unsigned y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const sf::Uint8*>(picture->data) +
                          static_cast<std::size_t>(y) * picture->bytes_per_line;
        sf::Uint8* out = &rgba[static_cast<std::size_t>(y) * width * 4];
        for (unsigned x = 0; x < width; ++x, row += 4, out += 4) {
            out[0] = row[2];
            out[1] = row[1];
            out[2] = row[0];
            out[3] = 255;
        }
    }
    XDestroyImage(picture);
    sf::Image image;
    image.create(width, height, rgba.data());
    return image;
}

std::optional<sf::Image>
waitForMainPage(GameProcess& game, TestScreen& screen, double seconds,
                const std::function<void(const std::string&, const sf::Image&)>& seen) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    auto shot = [&](const std::string& name) {
        sf::Image picture = screen.shot();
        if (seen)
            seen(name, picture);
        return picture;
    };
    screen.movePointer(1, 1);
    sf::Image previous = shot("probe-parked");
    bool pointerOnPlay = false;
    for (int probe = 1; game.isRunning() && std::chrono::steady_clock::now() < deadline; ++probe) {
        // A key pressed before the title screen existed was lost: press another now and then.
        if (probe % 4 == 0)
            xdotool("key shift");
        // The pointer goes back and forth over "Play", a shot each way.
        pointerOnPlay = !pointerOnPlay;
        screen.movePointer(pointerOnPlay ? PlayButton.x : 1, pointerOnPlay ? PlayButton.y : 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const sf::Image now = shot(pointerOnPlay ? "probe-hovered" : "probe-parked");
        const auto [in, out] = changedPixels(previous, now, PlayArea);
        if (in > 0 && out == 0) {
            screen.movePointer(1, 1);
            return pointerOnPlay ? previous : now;
        }
        previous = now;
    }
    return std::nullopt;
}

double nonUniformShare(const sf::Image& image) {
    const auto size = image.getSize();
    if (size.x == 0 || size.y == 0)
        return 0.0;
    std::map<sf::Uint32, std::size_t> counts;
    for (unsigned y = 0; y < size.y; ++y)
        for (unsigned x = 0; x < size.x; ++x)
            ++counts[image.getPixel(x, y).toInteger()];
    std::size_t most = 0;
    for (const auto& [colour, count] : counts)
        most = std::max(most, count);
    const double total = static_cast<double>(size.x) * size.y;
    return (total - static_cast<double>(most)) / total;
}

} // namespace testsupport
