#include "PrivateDisplay.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace apptest {

namespace {

// Starts Xvfb on display :number; returns its process once it accepts clients, else -1 (the
// number is taken). The server does not reset when its last client leaves, so the test's own
// short connections never make it refuse the program's.
pid_t StartServer(int number) {
    int ready[2];
    if (pipe(ready) != 0) return -1;
    std::fflush(nullptr);
    const pid_t server = fork();
    if (server == 0) {
        close(ready[0]);
        const std::string display = ":" + std::to_string(number);
        const std::string fd = std::to_string(ready[1]);
        execlp("Xvfb", "Xvfb", display.c_str(), "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten",
               "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ready[1]);
    // The server writes its display number once it accepts clients, and exits when the number
    // is taken.
    char answer[16] = {};
    ssize_t length = 0;
    while (server > 0 && length < static_cast<ssize_t>(sizeof(answer)) - 1) {
        const ssize_t count = read(ready[0], answer + length, sizeof(answer) - 1 - length);
        if (count <= 0) break;
        length += count;
        if (answer[length - 1] == '\n') break;
    }
    close(ready[0]);
    if (server > 0 && std::atoi(answer) == number && length > 0 && answer[length - 1] == '\n') return server;
    if (server > 0) {
        kill(server, SIGTERM);
        waitpid(server, nullptr, 0);
    }
    return -1;
}

}  // namespace

PrivateDisplay::PrivateDisplay() {
    // Numbers far from those xvfb-run and desktops take, spread by process so parallel tests
    // rarely meet.
    const int first = 300 + static_cast<int>(getpid() % 600);
    for (int number = first; number < first + 50 && server_ < 0; ++number) {
        server_ = StartServer(number);
        if (server_ > 0) name_ = ":" + std::to_string(number);
    }
}

PrivateDisplay::~PrivateDisplay() {
    if (server_ <= 0) return;
    kill(server_, SIGTERM);
    waitpid(server_, nullptr, 0);
}

std::string PrivateDisplay::Xdotool(const std::string& arguments) const {
    const std::string command = "DISPLAY=" + name_ + " xdotool " + arguments + " 2>/dev/null";
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (size_t count = std::fread(buffer, 1, sizeof(buffer), pipe)) output.append(buffer, count);
        pclose(pipe);
    }
    return output;
}

std::vector<std::string> PrivateDisplay::Windows(const std::string& program) const {
    std::istringstream lines(Xdotool("search --onlyvisible --class '^" + program + "$'"));
    std::vector<std::string> windows;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty()) windows.push_back(line);
    }
    return windows;
}

std::string PrivateDisplay::WindowName(const std::string& window) const {
    const std::string name = Xdotool("getwindowname " + window);
    return name.substr(0, name.find('\n'));
}

PrivateDisplay::Geometry PrivateDisplay::WindowGeometry(const std::string& window) const {
    std::istringstream lines(Xdotool("getwindowgeometry --shell " + window));
    Geometry geometry;
    for (std::string line; std::getline(lines, line);) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = line.substr(0, equals);
        const int value = std::atoi(line.c_str() + equals + 1);
        if (key == "X") geometry.x = value;
        if (key == "Y") geometry.y = value;
        if (key == "WIDTH") geometry.width = value;
        if (key == "HEIGHT") geometry.height = value;
    }
    return geometry;
}

void PrivateDisplay::Click(int x, int y) const {
    Xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1");
}

bool PrivateDisplay::ReadPixel(const std::string& window, int x, int y, uint32_t& colour) const {
    Display* display = XOpenDisplay(name_.c_str());
    if (!display) return false;
    XImage* image = XGetImage(display, std::strtoul(window.c_str(), nullptr, 10), x, y, 1, 1, AllPlanes, ZPixmap);
    if (image) {
        colour = static_cast<uint32_t>(XGetPixel(image, 0, 0) & 0xFFFFFFu);
        XDestroyImage(image);
    }
    XCloseDisplay(display);
    return image != nullptr;
}

}  // namespace apptest
