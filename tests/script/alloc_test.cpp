// Once warm, a script's frame allocates nothing: neither the host nor the Lua state. Lua's
// allocations are counted through the state's own allocator; the host's process-wide.
#include <gtest/gtest.h>

#include "core/PKernel.h"
#include "platform/WindowMessage.h"
#include "script_fixture.h"
#include "support/AllocationCounter.h"

namespace {

// Wraps a state's allocator while it lives and counts the allocations and growths it sees while
// counting is on.
class CountingAllocator {
public:
    explicit CountingAllocator(lua_State* state) : m_state(state) {
        m_inner = lua_getallocf(state, &m_innerData);
        lua_setallocf(state, Allocate, this);
    }
    ~CountingAllocator() { lua_setallocf(m_state, m_inner, m_innerData); }

    int GetAllocations() const { return m_allocations; }

private:
    static void* Allocate(void* data, void* block, size_t oldSize, size_t newSize) {
        auto* self = static_cast<CountingAllocator*>(data);
        if (testsupport::IsCountingAllocations() && newSize > oldSize) ++self->m_allocations;
        return self->m_inner(self->m_innerData, block, oldSize, newSize);
    }

    lua_State* m_state;
    lua_Alloc m_inner = nullptr;
    void* m_innerData = nullptr;
    int m_allocations = 0;
};

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

using ScriptAllocationTest = ScriptTest;

TEST_F(ScriptAllocationTest, WarmScriptFramesAllocateNothing) {
    platform::GetMessageQueue().Clear();
    g_windowActive = true;
    TPtr<CPLuaScript> script = LoadScript("busy", R"(
        frames = 0
        while true do
            frames = frames + 1
            local delta = GetDeltaTime()
            while SetNextCommand(globalObject) do GetCurrentParams(globalObject) end
            local kept = GetCurrentCommand(globalObject)
            Update()
        end)");
    CountingAllocator allocator(script->GetState());
    {
        CPKernel kernel;
        kernel.SetEventPump([] {});
        script->SetPriority(20);
        ASSERT_TRUE(kernel.AddTask(script));
        TPtr<IPTask> measure(new Measure);
        measure->SetPriority(10);
        ASSERT_TRUE(kernel.AddTask(measure));
        testsupport::ResetCountedAllocations();
        kernel.Run();
    }
    EXPECT_EQ(GlobalNumber(*script, "frames"), 1004);  // the last pass stops it
    EXPECT_EQ(allocator.GetAllocations(), 0);
    EXPECT_EQ(testsupport::CountedAllocations(), 0);
}

}  // namespace
