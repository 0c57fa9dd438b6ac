// The kernel's per-frame work allocates nothing: task passes, counting, CollectGarbage with
// nothing pending and the empty message queue. Allocations are counted process-wide while a
// window of passes is open.
#include <gtest/gtest.h>

#include <string>

#include "core/PKernel.h"
#include "platform/WindowMessage.h"
#include "support/AllocationCounter.h"

namespace {

// Counts its passes; opens the counting window after the warm-up and ends the loop after it.
class MeasuringTask : public IPTask {
public:
    void Update() override {
        ++m_passes;
        if (m_passes == 3) testsupport::SetCountingAllocations(true);
        if (m_passes == 13) {
            testsupport::SetCountingAllocations(false);
            GetKernel()->KillAllTasks();
        }
    }
    int32_t GetType() const override { return 3; }
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "MeasuringTask"; }

private:
    int m_passes = 0;
};

// Takes and drops references to itself every frame, as engine code does with smart pointers.
class CountingTask : public IPTask {
public:
    void Update() override {
        TPtr<IPTask> self(this);
        CPSmartPointer copy = self;
        TPtr<CountingTask> typed = TPtr<CountingTask>::From(copy);
        copy.Reset();
    }
    int32_t GetType() const override { return 3; }
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CountingTask"; }
};

TEST(KernelAllocation, TaskPassesAndEmptyCollectionAllocateNothing) {
    platform::GetMessageQueue().Clear();
    g_windowActive = true;
    {
        CPKernel kernel;
        kernel.SetEventPump([] {});
        TPtr<IPTask> measuring(new MeasuringTask);
        measuring->SetPriority(1);
        ASSERT_TRUE(kernel.AddTask(measuring));
        for (int i = 0; i < 5; ++i) ASSERT_TRUE(kernel.AddTask(TPtr<IPTask>(new CountingTask)));
        testsupport::ResetCountedAllocations();
        kernel.Run();
    }
    CollectGarbage();
    EXPECT_EQ(testsupport::CountedAllocations(), 0);
}

}  // namespace
