#pragma once
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace apptest {

// An X server (Xvfb, 1280 x 1024) of the test's own, so no other test's window covers the one
// a test clicks; stopped when the object goes.
class PrivateDisplay {
public:
    PrivateDisplay();
    ~PrivateDisplay();
    PrivateDisplay(const PrivateDisplay&) = delete;
    PrivateDisplay& operator=(const PrivateDisplay&) = delete;

    // ":N", empty when the server could not start.
    const std::string& Name() const { return name_; }

    // Runs xdotool on this display and returns what it printed.
    std::string Xdotool(const std::string& arguments) const;

    // The visible windows of a program (by its window class), by id.
    std::vector<std::string> Windows(const std::string& program) const;
    std::string WindowName(const std::string& window) const;

    struct Geometry {
        int x = 0, y = 0, width = 0, height = 0;
    };
    Geometry WindowGeometry(const std::string& window) const;
    void Click(int x, int y) const;

    // The colour (0xRRGGBB) the window shows at (x, y), read from the server; false when it
    // cannot be read.
    bool ReadPixel(const std::string& window, int x, int y, uint32_t& colour) const;

private:
    pid_t server_ = -1;
    std::string name_;
};

}  // namespace apptest
