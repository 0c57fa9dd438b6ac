// Once warm, a script's frame allocates nothing: neither the host nor the Lua state. Lua's
// allocations are counted through the state's own allocator; the host's process-wide, through
// the sanitizer's allocation hooks in sanitized builds and a replaced operator new otherwise.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "core/PKernel.h"
#include "platform/WindowMessage.h"
#include "script_fixture.h"

namespace {

std::atomic<bool> g_counting{false};
std::atomic<int> g_hostAllocations{0};

void CountAllocation() {
    if (g_counting.load(std::memory_order_relaxed)) g_hostAllocations.fetch_add(1, std::memory_order_relaxed);
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
        if (g_counting.load(std::memory_order_relaxed) && newSize > oldSize) ++self->m_allocations;
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
        if (m_passes == 5) g_counting = true;
        if (m_passes == 1005) {
            g_counting = false;
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
        g_hostAllocations = 0;
        kernel.Run();
    }
    EXPECT_EQ(GlobalNumber(*script, "frames"), 1004);  // the last pass stops it
    EXPECT_EQ(allocator.GetAllocations(), 0);
    EXPECT_EQ(g_hostAllocations.load(), 0);
}

}  // namespace
