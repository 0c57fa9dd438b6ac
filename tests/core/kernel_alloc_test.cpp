// The kernel's per-frame work allocates nothing: task passes, counting, CollectGarbage with
// nothing pending and the empty message queue. Allocations are counted process-wide while a
// window is open: through the sanitizer's allocation hooks in sanitized builds (so its checks
// stay on), by replacing the global operator new otherwise.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "core/PKernel.h"
#include "platform/WindowMessage.h"

namespace {

std::atomic<bool> g_counting{false};
std::atomic<int> g_allocations{0};

void CountAllocation() {
    if (g_counting.load(std::memory_order_relaxed)) g_allocations.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime's allocator interface.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, size_t),
                                                        void (*free_hook)(const volatile void*));

namespace {

void OnMalloc(const volatile void*, size_t) { CountAllocation(); }
void OnFree(const volatile void*) {}
const int g_hooksInstalled = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);

}  // namespace

#else

void* operator new(std::size_t size) {
    CountAllocation();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    CountAllocation();
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return ::operator new(size, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

#endif

namespace {

// Counts its passes; opens the counting window after the warm-up and ends the loop after it.
class MeasuringTask : public IPTask {
public:
    void Update() override {
        ++m_passes;
        if (m_passes == 3) g_counting = true;
        if (m_passes == 13) {
            g_counting = false;
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
        g_allocations = 0;
        kernel.Run();
    }
    CollectGarbage();
    EXPECT_EQ(g_allocations.load(), 0);
}

}  // namespace
