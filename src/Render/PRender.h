#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "core/PTask.h"
#include "core/Singleton.h"

namespace platform::gfx {
class Device;
}

// The renderer task: the last task of every pass (priority 10000). It owns the drawing device
// over the game window that the application stored in the kernel, and draws and presents a
// frame per pass.
//
// Not done yet: the render queue and render block, lights, bloom, the statistics text, the fade,
// the debug lines and the device states of the engine; a frame is cleared to black and
// presented.
class CPRender : public IPTask, public TSingleton<CPRender> {
public:
    CPRender();
    ~CPRender() override;

    // Creates the device; false (with the reason in the log) when the kernel holds no game
    // window or the device cannot be created.
    bool Start() override;
    // Clears the frame and presents it.
    void Update() override;
    // Releases the device; safe to call twice.
    void Stop() override;
    int32_t GetType() const override { return 3; }
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPRender"; }

    // Resets the device (what a lost Direct3D device needs); nothing without a device. The
    // window procedure calls it whenever the window becomes active or is restored.
    void ResetDevice();

    // The device, null before Start and after Stop.
    platform::gfx::Device* GetDevice() const { return m_device.get(); }

private:
    std::unique_ptr<platform::gfx::Device> m_device;
};

// The renderer, null before its construction and after its destruction.
inline CPRender* GetRender() { return CPRender::Instance(); }
