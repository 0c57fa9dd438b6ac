#pragma once
#include <cstdint>
#include <string>

#include "core/PTask.h"
#include "core/Singleton.h"

namespace platform {
class Window;
}

// The renderer task: the last task of every pass (priority 10000), it draws the frame and
// presents it in the game window that the application stored in the kernel.
//
// Not done yet: the device, the render queue and render block, lights, bloom, the statistics
// text, the fade and the debug lines. For now a frame only presents the window, and
// ResetDevice only counts the resets it is asked for (the device layer attaches there).
class CPRender : public IPTask, public TSingleton<CPRender> {
public:
    CPRender() = default;

    // False when the kernel holds no game window: without a window there is no device.
    bool Start() override;
    // Presents the frame.
    void Update() override;
    // Safe to call twice.
    void Stop() override;
    int32_t GetType() const override { return 3; }
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPRender"; }

    // Called by the window procedure whenever the window becomes active or is restored.
    void ResetDevice();
    int32_t GetResetCount() const { return m_resetCount; }

private:
    platform::Window* m_window = nullptr;
    int32_t m_resetCount = 0;
};

// The renderer, null before its construction and after its destruction.
inline CPRender* GetRender() { return CPRender::Instance(); }
