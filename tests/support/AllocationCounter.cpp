#include "support/AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> g_counting{false};
std::atomic<int> g_allocations{0};

void CountAllocation() {
    if (g_counting.load(std::memory_order_relaxed)) g_allocations.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

namespace testsupport {

void SetCountingAllocations(bool on) { g_counting = on; }
bool IsCountingAllocations() { return g_counting.load(std::memory_order_relaxed); }
void ResetCountedAllocations() { g_allocations = 0; }
int CountedAllocations() { return g_allocations.load(); }

}  // namespace testsupport

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
