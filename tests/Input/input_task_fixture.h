#pragma once
// The input task on its own: the platform's input state as its device, a listener in place of
// the interface screens and scripts that collect its commands.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/PGlobalTimer.h"
#include "core/PKernel.h"
#include "core/PMMObject.h"
#include "core/SettingsVariables.h"
#include "Input/NInput.h"
#include "platform/InputState.h"
#include "support/RunningScripts.h"
#include "support/WorkingFolder.h"

namespace inputtest {

using List = std::vector<std::string>;

// Records what the input task hands to the interface.
class RecordingListener : public INMouseListener {
public:
    void OnMouseMove(float x, float y) override { calls.push_back("move " + Point(x, y)); }
    void OnButtonDown(int32_t button, float x, float y) override {
        calls.push_back("down " + std::to_string(button) + " " + Point(x, y));
    }
    void OnButtonUp(int32_t button, float x, float y) override {
        calls.push_back("up " + std::to_string(button) + " " + Point(x, y));
    }
    List calls;

private:
    static std::string Point(float x, float y) {
        return std::to_string(static_cast<int>(x)) + "," + std::to_string(static_cast<int>(y));
    }
};

// An 800 × 600 screen, bindings with every mouse name and the keys Q and W, a script "listener" of the
// categories "action_listener" and "interface" and the script "main", which collect the commands.
class InputTaskTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_saved = {g_screenWidth, g_screenHeight, g_mouse, g_frameDelta};
        g_screenWidth = 800;
        g_screenHeight = 600;
        g_mouse = 0.0f;
        g_frameDelta = 0.05f;
        platform::GetInputState().Clear();
        m_folder.Write("actions.cfg",
                       "fire;Fire;mlb\r\nalt;Alt;mrb\r\nnext;Next;mwheel1\r\nprev;Prev;mwheel2\r\njump;Jump;Q\r\n"
                       "duck;Duck;W\r\n");
        m_kernel = std::make_unique<CPKernel>();
        ASSERT_TRUE(m_scripts.Start({"listener t_interface action_listener interface", "main t_interface"},
                                    "while true do Update() end\n"));
        m_input = new CNInput;
        ASSERT_TRUE(m_input->Start());
        m_input->SetMouseListener(&m_listener);
    }
    void TearDown() override {
        m_input = nullptr;
        m_scripts.Stop();
        m_kernel.reset();
        CollectGarbage();
        platform::GetInputState().Clear();
        g_screenWidth = m_saved.width;
        g_screenHeight = m_saved.height;
        g_mouse = m_saved.mouse;
        g_frameDelta = m_saved.delta;
    }

    // One frame of the input task with this much mouse movement and wheel.
    void Frame(int32_t dx = 0, int32_t dy = 0, int32_t wheel = 0) {
        platform::GetInputState().AddMouseMotion(dx, dy);
        platform::GetInputState().AddWheel(wheel);
        m_input->Update();
    }
    static void Button(int button, bool down) { platform::GetInputState().SetButton(button, down); }
    static void Key(uint8_t scanCode, bool down) { platform::GetInputState().SetKey(scanCode, down); }

    List Commands() { return m_scripts.Commands("listener"); }
    List MainCommands() { return m_scripts.Commands("main"); }
    std::string KeyOf(const std::string& action) const { return m_input->GetActionMap().at(action).keyName; }

    testsupport::WorkingFolder m_folder;
    RecordingListener m_listener;
    TPtr<CNInput> m_input;

private:
    struct Saved {
        int32_t width, height;
        float mouse, delta;
    } m_saved{};
    std::unique_ptr<CPKernel> m_kernel;
    testsupport::RunningScripts m_scripts;
};

}  // namespace inputtest
