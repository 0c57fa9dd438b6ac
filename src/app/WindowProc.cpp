#include "app/WindowProc.h"

#include <string>

#include "core/PGlobalTimer.h"
#include "core/PKernel.h"
#include "Render/PRender.h"
#include "script/PScriptManager.h"

bool g_shutdown = false;

namespace {

using platform::MessageType;

void SuspendTimer() {
    if (CPKernel* kernel = GetKernel()) kernel->SuspendTask(TPtr<IPTask>(GetGlobalTimer()));
    g_windowActive = false;
}

void ResumeTimer() {
    if (CPKernel* kernel = GetKernel()) kernel->ResumeTask(TPtr<IPTask>(GetGlobalTimer()));
}

void ResetDevice() {
    if (CPRender* render = GetRender()) render->ResetDevice();
}

void OnSize(int32_t kind) {
    if (kind == platform::SizeMinimized || kind == platform::SizeHidden) {
        SuspendTimer();
        return;
    }
    ResetDevice();
    ResumeTimer();
    g_windowActive = true;
}

// Activation by a click counts as activation: the game must not stay frozen under the cursor.
void OnActivate(int32_t kind) {
    if (g_shutdown) return;
    if (kind == platform::ActivateInactive) {
        SuspendTimer();
        return;
    }
    ResumeTimer();
    ResetDevice();
    g_windowActive = true;
}

void OnChar(int32_t code) {
    if (CPScriptManager* scripts = GetScriptManager()) scripts->SendCommandByCategory("interface", "key", std::to_string(code));
}

}  // namespace

void WindowProc(const platform::WindowMessage& message) {
    switch (message.type) {
        case MessageType::Close: platform::GetMessageQueue().Post({MessageType::Quit}); break;
        case MessageType::Size: OnSize(message.param); break;
        case MessageType::Activate: OnActivate(message.param); break;
        case MessageType::Char: OnChar(message.param); break;
        case MessageType::Quit: break;
    }
}
