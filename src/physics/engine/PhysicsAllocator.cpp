#include "physics/engine/PhysicsAllocator.h"

#include <cstdlib>

void* PhysicsDefaultAllocator::Alloc(std::size_t size, std::size_t alignment)
{
    if (alignment < alignof(std::max_align_t)) alignment = alignof(std::max_align_t);
    void* memory = nullptr;
    if (posix_memalign(&memory, alignment, size == 0 ? 1 : size) != 0) return nullptr;
    m_allocatedBytes += size;
    return memory;
}

void PhysicsDefaultAllocator::Free(void* memory) { std::free(memory); }
