#include "Render/PRender.h"

#include "core/PKernel.h"
#include "core/PLog.h"
#include "platform/Window.h"
#include "platform/gfx/Device.h"

namespace {

constexpr uint32_t kClearColour = 0xFF000000;

}  // namespace

CPRender::CPRender() = default;
CPRender::~CPRender() = default;

bool CPRender::Start() {
    auto* window = static_cast<platform::Window*>(GetKernel()->GetWindow());
    if (!window) {
        GetLog()->Print(0, "The renderer has no window to draw in\n");
        return false;
    }
    std::string error;
    m_device = platform::gfx::Device::Create(*window, error);
    if (!m_device) {
        GetLog()->Print(0, "Cannot create the drawing device: %s\n", error.c_str());
        return false;
    }
    return IPTask::Start();
}

void CPRender::Update() {
    m_device->Clear(platform::gfx::ClearTarget | platform::gfx::ClearZBuffer, kClearColour, 1.0f);
    m_device->Present();
}

void CPRender::Stop() {
    IPTask::Stop();
    m_device.reset();
}

void CPRender::ResetDevice() {
    if (m_device) m_device->Reset();
}
