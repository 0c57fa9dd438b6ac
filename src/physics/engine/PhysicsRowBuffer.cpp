#include "physics/engine/PhysicsRowBuffer.h"

#include <cstring>
#include <type_traits>

static_assert(std::is_trivially_copyable_v<PhysicsCollisionResult>);

bool PhysicsRowBuffer::Create(PhysicsAllocator& allocator)
{
    Destroy();
    m_allocator = &allocator;
    void* memory = allocator.Alloc(sizeof(PhysicsCollisionResult) * kInitialCapacity, alignof(PhysicsCollisionResult));
    if (!memory) return false;
    m_rows = static_cast<PhysicsCollisionResult*>(memory);
    m_capacity = kInitialCapacity;
    return true;
}

void PhysicsRowBuffer::Destroy()
{
    if (m_rows) m_allocator->Free(m_rows);
    m_rows = nullptr;
    m_count = m_capacity = 0;
}

bool PhysicsRowBuffer::Grow()
{
    if (!m_allocator) return false;
    const int32_t capacity = m_capacity + kGrowth;
    void* memory = m_allocator->Alloc(sizeof(PhysicsCollisionResult) * capacity, alignof(PhysicsCollisionResult));
    if (!memory) return false;
    if (m_rows) {
        std::memcpy(memory, m_rows, sizeof(PhysicsCollisionResult) * m_count);
        m_allocator->Free(m_rows);
    }
    m_rows = static_cast<PhysicsCollisionResult*>(memory);
    m_capacity = capacity;
    return true;
}

bool PhysicsRowBuffer::Reserve(int32_t rows)
{
    while (m_capacity < rows)
        if (!Grow()) return false;
    return true;
}

bool PhysicsRowBuffer::Append(const PhysicsCollisionResult& row)
{
    if (m_count == m_capacity && !Grow()) return false;
    m_rows[m_count++] = row;
    return true;
}
