// Once warm, a script's frame allocates nothing: neither the host nor the Lua state. Lua's
// allocations are counted through the state's own allocator; the host's process-wide.
#include <gtest/gtest.h>

#include <vector>

#include "core/PKernel.h"
#include "platform/WindowMessage.h"
#include "script/PScriptManager.h"
#include "script_fixture.h"
#include "support/AllocationCounter.h"
#include "support/LuaAllocationCounter.h"

namespace {

// Opens the counting window after the warm-up and ends the loop after the measured frames.
class Measure : public IPTask {
public:
    void Update() override {
        ++m_passes;
        if (m_passes == 5) testsupport::SetCountingAllocations(true);
        if (m_passes == 1005) {
            testsupport::SetCountingAllocations(false);
            GetKernel()->KillAllTasks();
        }
    }
    int32_t GetType() const override { return 3; }
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "Measure"; }

private:
    int m_passes = 0;
};

class ScriptAllocationTest : public ScriptTest {
protected:
    // Runs the scripts in a kernel of their own, the measure first in every pass, until the
    // measured frames are over.
    static void RunMeasuredFrames(const std::vector<TPtr<CPLuaScript>>& scripts) {
        platform::GetMessageQueue().Clear();
        g_windowActive = true;
        CPKernel kernel;
        kernel.SetEventPump([] {});
        for (const TPtr<CPLuaScript>& script : scripts) {
            script->SetPriority(20);
            ASSERT_TRUE(kernel.AddTask(script));
        }
        TPtr<IPTask> measure(new Measure);
        measure->SetPriority(10);
        ASSERT_TRUE(kernel.AddTask(measure));
        testsupport::ResetCountedAllocations();
        kernel.Run();
    }
};

TEST_F(ScriptAllocationTest, WarmScriptFramesAllocateNothing) {
    TPtr<CPLuaScript> script = LoadScript("busy", R"(
        frames = 0
        while true do
            frames = frames + 1
            local delta = GetDeltaTime()
            while SetNextCommand(globalObject) do GetCurrentParams(globalObject) end
            local kept = GetCurrentCommand(globalObject)
            Update()
        end)");
    testsupport::LuaAllocationCounter allocator(script->GetState());
    RunMeasuredFrames({script});
    EXPECT_EQ(GlobalNumber(*script, "frames"), 1004);  // the last pass stops it
    EXPECT_EQ(allocator.GetAllocations(), 0);
    EXPECT_EQ(testsupport::CountedAllocations(), 0);
}

// A HUD's traffic: every frame one script sends commands by name and by category, with names
// too long for a string's inline buffer and parameters to split, and another reads them all.
// Once the queue has warmed up, neither sending, queuing nor reading allocates.
TEST_F(ScriptAllocationTest, WarmCommandTrafficAllocatesNothing) {
    WriteScriptFile("list.dat", "sender t_level\nreceiver t_interface hud\n");
    WriteScriptFile("sender.lua", R"(
        sent = 0
        while true do
            SendCommandByName("receiver", "update_game_interface", "")
            SendCommandByName("receiver", "change_money", "1234.500000")
            SendCommandByCategory("hud", "a_command_name_beyond_any_inline_buffer", "first, second ,\"third, quoted\"")
            sent = sent + 1
            Update()
        end)");
    WriteScriptFile("receiver.lua", R"(
        received = 0
        while true do
            while SetNextCommand(globalObject) do
                local command = GetCurrentCommand(globalObject)
                local first, second, third = GetCurrentParams(globalObject)
                if (command == "update_game_interface" and first == nil) or
                   (command == "change_money" and first == "1234.500000" and second == nil) or
                   (command == "a_command_name_beyond_any_inline_buffer" and first == "first" and
                    second == "second" and third == "third, quoted") then
                    received = received + 1
                end
            end
            Update()
        end)");
    CPScriptManager manager;
    ASSERT_TRUE(manager.LoadList());
    const TPtr<CPLuaScript> sender = manager.GetScript("sender");
    const TPtr<CPLuaScript> receiver = manager.GetScript("receiver");
    testsupport::LuaAllocationCounter senderAllocator(sender->GetState());
    testsupport::LuaAllocationCounter receiverAllocator(receiver->GetState());
    RunMeasuredFrames({sender, receiver});
    EXPECT_EQ(GlobalNumber(*sender, "sent"), 1004);
    EXPECT_EQ(GlobalNumber(*receiver, "received"), 3 * 1004);
    EXPECT_EQ(senderAllocator.GetAllocations(), 0);
    EXPECT_EQ(receiverAllocator.GetAllocations(), 0);
    EXPECT_EQ(testsupport::CountedAllocations(), 0);
}

}  // namespace
