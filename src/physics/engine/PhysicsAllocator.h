#pragma once
#include <cstddef>

// Where the engine takes its memory from: every pool and buffer of a simulator is allocated
// through one of these.
class PhysicsAllocator {
public:
    virtual ~PhysicsAllocator() = default;
    virtual void* Alloc(std::size_t size, std::size_t alignment) = 0;
    virtual void Free(void* memory) = 0;
};

// The allocator used when none is given: the C runtime's heap, counting the bytes it handed out.
class PhysicsDefaultAllocator final : public PhysicsAllocator {
public:
    void* Alloc(std::size_t size, std::size_t alignment) override;
    void Free(void* memory) override;
    std::size_t AllocatedBytes() const { return m_allocatedBytes; }

private:
    std::size_t m_allocatedBytes = 0;
};
