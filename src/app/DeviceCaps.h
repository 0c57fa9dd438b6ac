#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace platform {
struct DeviceProbe;
}

// What the graphics device offers the Options dialog, found once by the launcher's probe.
struct SPDeviceCaps {
    bool antialiasing = true;
    int32_t qualityLevels = 0;  // multisampling quality levels (see CPRender::MultisampleFromSettings)
    bool bloom = true;
    bool dxt5 = true;
    int32_t maxAnisotropy = 1;
};

// A display mode the Options dialog offers.
struct SPDisplayMode {
    int32_t height = 0;
    int32_t width = 0;
    int32_t bits = 0;  // 16 or 32

    bool operator==(const SPDisplayMode&) const = default;
};

// The probe's results, kept until the program ends.
extern SPDeviceCaps g_deviceCaps;
extern std::vector<SPDisplayMode> g_displayModes;

// Turns a probe into the capabilities and the mode list:
// - antialiasing when the device multisamples at all, with the renderer's quality levels;
// - bloom when shaders and render targets work (an OpenGL 3.3 context);
// - DXT5 when the driver samples S3TC textures; without it the dxt5 setting is switched off;
// - the maximum anisotropy;
// - the modes of at least 800 x 600, first those of 16 bits per pixel, then those of 32 (24 bits
//   count as 32), each in the order found; a mode equal to the record just added (the same mode
//   at another refresh rate) is skipped.
void ApplyDeviceProbe(const platform::DeviceProbe& probe);

// Probes the device (platform::ProbeDevice) and applies the result. A device that cannot be
// probed offers nothing: every capability off, no display mode.
void EnumerateDeviceCaps();
