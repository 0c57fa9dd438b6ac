// What reaches the scripts: typed characters as "key" commands and bound keys as "key_action".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Input/NInput.h"
#include "WorkingFolder.h"
#include "app/WindowProc.h"
#include "platform/EventPump.h"
#include "platform/InputState.h"
#include "platform/WindowMessage.h"
#include "script/PScriptManager.h"
#include "support/SyntheticEvents.h"

namespace {

// A script that runs and never reads its commands, so they stay queued for the test to read.
constexpr char kIdleScript[] = "while true do Update() end\n";

class ScriptCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder.Write("Data/Scripts/list.dat",
                       "typing t_interface interface\nlistener t_system action_listener\nmain t_system\n");
        for (const char* name : {"typing", "listener", "main"}) m_folder.Write(std::string("Data/Scripts/") + name + ".lua", kIdleScript);
        m_scripts = new CPScriptManager;
        ASSERT_TRUE(m_scripts->LoadList());
        for (const char* name : {"typing", "listener", "main"}) m_scripts->GetScript(name)->Start();
    }

    void TearDown() override {
        delete m_scripts;
        CollectGarbage();
    }

    // The script's queued commands, oldest first, each "command:param,param".
    std::vector<std::string> Drain(const std::string& name) const {
        TPtr<CPLuaScript> script = m_scripts->GetScript(name);
        std::vector<std::string> commands;
        while (script->NextCommand()) {
            const CPScriptCommand* command = script->GetCurrentCommand();
            std::string text = command->command + ":";
            for (size_t i = 0; i < command->params.size(); ++i) text += (i ? "," : "") + command->params[i];
            commands.push_back(text);
        }
        return commands;
    }

    apptest::WorkingFolder m_folder;
    CPScriptManager* m_scripts = nullptr;
};

TEST_F(ScriptCommandsTest, TypedCharactersReachTheInterfaceScriptsAsKeyWithTheirCode) {
    testsupport::EventScope events;
    testsupport::PushText("A");
    testsupport::PushKey(0x0E, true);        // Backspace
    testsupport::PushKey(0x0E, true, true);  // held: auto-repeat
    testsupport::PushText("Ж");              // 0xC6 in the game's code page
    platform::PumpEvents();
    platform::WindowMessage message;
    while (platform::GetMessageQueue().Take(message)) WindowProc(message);

    EXPECT_EQ(Drain("typing"), (std::vector<std::string>{"key:65", "key:8", "key:8", "key:198"}));
    EXPECT_TRUE(Drain("listener").empty());
    EXPECT_TRUE(Drain("main").empty());
}

TEST_F(ScriptCommandsTest, ABoundKeySendsItsActionOnPressAndReleaseAndTheReleaseIsAnyKeyForMain) {
    TPtr<CNInput> input(new CNInput);
    ASSERT_TRUE(input->Start());
    platform::InputState& keys = platform::GetInputState();
    keys.Clear();

    keys.SetKey(0x39, true);  // Space: "fire" in the default bindings
    input->Update();
    input->Update();          // held: nothing new
    keys.SetKey(0x39, false);
    input->Update();
    keys.SetKey(0x10, true);  // Q: not bound
    input->Update();
    keys.SetKey(0x10, false);
    input->Update();
    keys.Clear();

    EXPECT_EQ(Drain("listener"), (std::vector<std::string>{"key_action:fire,1", "key_action:fire,0"}));
    EXPECT_EQ(Drain("main"), (std::vector<std::string>{"any_key:", "any_key:"}));
    EXPECT_TRUE(Drain("typing").empty());
}

}  // namespace
