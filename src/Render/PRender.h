#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "Render/PMeshBuffers.h"
#include "core/PTask.h"
#include "core/Singleton.h"
#include "platform/gfx/DeviceListener.h"

namespace platform::gfx {
class Device;
}
class CPMaterial;

// The renderer task: the last task of every pass (priority 10000). It owns the drawing device
// over the game window that the application stored in the kernel, and draws and presents a
// frame per pass.
//
// Not done yet: the render queue and render block, lights, bloom, the statistics text, the fade,
// the debug lines and the device states of the engine; a frame is cleared to black and
// presented.
class CPRender : public IPTask, public TSingleton<CPRender>, private platform::gfx::DeviceListener {
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
    // window procedure calls it whenever the window becomes active or is restored. The device
    // objects (PDeviceObject.h) are told before and after.
    void ResetDevice();

    // Enters a material in the layered queue (its first batch of a frame while not registered).
    // Not done yet: the queue; queued materials are not drawn.
    void AddToRenderQueue(CPMaterial* material);

    // The static mesh cached under name (any case), uploaded from the given arrays on the first
    // request; later requests ignore the arrays. Records live as long as the renderer. Null,
    // and nothing cached, when the mesh is refused (more than kMaxMeshVertices vertices, an
    // index past the last vertex, no indices) or its buffers cannot be made.
    const SPMeshBuffers* GetMeshBuffers(const std::string& name, const SPVertex* vertices, const uint16_t* indices,
                                        int32_t vertexCount, int32_t indexCount);

    // The device, null before Start and after Stop.
    platform::gfx::Device* GetDevice() const { return m_device.get(); }

private:
    void OnDeviceLost() override;
    void OnDeviceReset() override;

    std::unordered_map<std::string, std::unique_ptr<SPMeshBuffers>> m_meshCache;
    std::unique_ptr<platform::gfx::Device> m_device;
};

// The renderer, null before its construction and after its destruction.
inline CPRender* GetRender() { return CPRender::Instance(); }
