#include "app/DeviceCaps.h"

#include "core/PLog.h"
#include "core/SettingsVariables.h"
#include "platform/DeviceProbe.h"
#include "Render/PRender.h"

SPDeviceCaps g_deviceCaps;
std::vector<SPDisplayMode> g_displayModes;

namespace {

constexpr int32_t kMinimumWidth = 800;
constexpr int32_t kMinimumHeight = 600;

void AddModes(const std::vector<platform::DisplayMode>& modes, bool sixteenBits) {
    const int32_t bits = sixteenBits ? 16 : 32;
    for (const platform::DisplayMode& mode : modes) {
        if ((mode.bitsPerPixel <= 16) != sixteenBits) continue;
        if (mode.width < kMinimumWidth || mode.height < kMinimumHeight) continue;
        const SPDisplayMode record{mode.height, mode.width, bits};
        if (!g_displayModes.empty() && g_displayModes.back() == record) continue;
        g_displayModes.push_back(record);
    }
}

}  // namespace

void ApplyDeviceProbe(const platform::DeviceProbe& probe) {
    const bool context = probe.contextCreated;
    g_deviceCaps.antialiasing = context && probe.maxSamples >= 2;
    g_deviceCaps.qualityLevels = context ? CPRender::MultisampleQualityLevels(probe.maxSamples) : 0;
    g_deviceCaps.bloom = context;
    g_deviceCaps.dxt5 = context && probe.s3tc;
    g_deviceCaps.maxAnisotropy = context ? probe.maxAnisotropy : 1;
    if (!g_deviceCaps.dxt5) g_dxt5 = 0;

    g_displayModes.clear();
    AddModes(probe.modes, true);
    AddModes(probe.modes, false);
}

void EnumerateDeviceCaps() {
    platform::DeviceProbe probe;
    std::string error;
    if (!platform::ProbeDevice(probe, error)) GetLog()->Print(0, "Cannot probe the device: %s\n", error.c_str());
    ApplyDeviceProbe(probe);
}
