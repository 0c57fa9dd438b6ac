#include "Render/PRender.h"

#include "core/PKernel.h"
#include "platform/Window.h"

bool CPRender::Start() {
    m_window = static_cast<platform::Window*>(GetKernel()->GetWindow());
    if (!m_window) return false;
    return IPTask::Start();
}

void CPRender::Update() { m_window->SwapBuffers(); }

void CPRender::Stop() {
    IPTask::Stop();
    m_window = nullptr;
}

void CPRender::ResetDevice() { ++m_resetCount; }
