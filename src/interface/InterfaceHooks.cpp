#include "interface/InterfaceHooks.h"

#include "Input/NInput.h"
#include "interface/PInterface.h"
#include "script/ElementLocks.h"

namespace {

class ScreensMouseListener : public INMouseListener {
public:
    void OnMouseMove(float x, float y) override { InterfacesMouseMove(x, y); }
    void OnButtonDown(int32_t button, float x, float y) override { InterfacesButtonDown(button, x, y); }
    void OnButtonUp(int32_t button, float x, float y) override { InterfacesButtonUp(button, x, y); }
};

class ScreenElementLocks : public IPElementLocks {
public:
    void SetElementLocked(IPMMObject* screen, const std::string& element, bool locked) override {
        if (CPInterface* live = CPInterface::FindLive(screen)) live->SetElementLocked(element, locked);
    }
};

ScreensMouseListener g_mouseListener;
ScreenElementLocks g_elementLocks;

}  // namespace

void InstallInterfaceHooks() {
    if (CNInput* input = GetInput()) input->SetMouseListener(&g_mouseListener);
    SetElementLocks(&g_elementLocks);
}
