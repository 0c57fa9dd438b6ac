#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// A display mode the screen offers.
struct DisplayMode {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0;  // 15, 16, 24 or 32
    int32_t refreshRate = 0;   // Hz, 0 when unknown
};

// What the graphics device can do, as the Options dialog needs to know it before the game
// window exists.
struct DeviceProbe {
    // An OpenGL 3.3 core context could be made: shaders and render targets work. The values
    // below need it.
    bool contextCreated = false;
    int32_t maxSamples = 0;  // most samples of a multisampled framebuffer
    bool s3tc = false;       // DXT textures are sampled by the driver
    int32_t maxAnisotropy = 1;
    std::vector<DisplayMode> modes;  // of the first display, in the order the system lists them
};

// Probes the first display and a hidden OpenGL 3.3 core context, then closes both again.
// False, with the reason in error, when the video system cannot start at all; a context that
// cannot be made leaves contextCreated false and still lists the modes.
bool ProbeDevice(DeviceProbe& probe, std::string& error);

}  // namespace platform
