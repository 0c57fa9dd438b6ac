#pragma once
#include <cstddef>

// Where the engine takes its memory from: every pool and buffer of a simulator is allocated
// through one of these.
class PhysicsAllocator {
public:
    virtual ~PhysicsAllocator() = default;
    virtual void* Alloc(std::size_t size, std::size_t alignment) = 0;
    virtual void Free(void* memory) = 0;
    // Memory that reads as zero, freed with Free. This one fills an Alloc; an allocator that can
    // hand out pages the system zeroes when first touched makes large tables cheap to create.
    virtual void* AllocZeroed(std::size_t size, std::size_t alignment);
};

// The allocator used when none is given: the C runtime's heap, counting the bytes it handed out.
class PhysicsDefaultAllocator final : public PhysicsAllocator {
public:
    void* Alloc(std::size_t size, std::size_t alignment) override;
    void Free(void* memory) override;
    // calloc: large blocks come as fresh pages that are zero until touched.
    void* AllocZeroed(std::size_t size, std::size_t alignment) override;
    std::size_t AllocatedBytes() const { return m_allocatedBytes; }

private:
    std::size_t m_allocatedBytes = 0;
};
