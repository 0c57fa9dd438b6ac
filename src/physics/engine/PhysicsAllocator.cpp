#include "physics/engine/PhysicsAllocator.h"

#include <cstdlib>
#include <cstring>

void* PhysicsDefaultAllocator::Alloc(std::size_t size, std::size_t alignment)
{
    if (alignment < alignof(std::max_align_t)) alignment = alignof(std::max_align_t);
    void* memory = nullptr;
    if (posix_memalign(&memory, alignment, size == 0 ? 1 : size) != 0) return nullptr;
    m_allocatedBytes += size;
    return memory;
}

void PhysicsDefaultAllocator::Free(void* memory) { std::free(memory); }

void* PhysicsAllocator::AllocZeroed(std::size_t size, std::size_t alignment)
{
    void* memory = Alloc(size, alignment);
    if (memory) std::memset(memory, 0, size);
    return memory;
}

void* PhysicsDefaultAllocator::AllocZeroed(std::size_t size, std::size_t alignment)
{
    if (alignment > alignof(std::max_align_t)) return PhysicsAllocator::AllocZeroed(size, alignment);
    void* memory = std::calloc(size == 0 ? 1 : size, 1);
    if (memory) m_allocatedBytes += size;
    return memory;
}
