#pragma once
#include <cstdint>

#include "physics/engine/PhysicsAllocator.h"
#include "physics/engine/PhysicsCollisionResult.h"

// A flat array of constraint rows that keeps its memory from step to step and grows by a fixed
// number of rows when full.
class PhysicsRowBuffer {
public:
    static constexpr int32_t kInitialCapacity = 100;
    static constexpr int32_t kGrowth = 100;

    PhysicsRowBuffer() = default;
    PhysicsRowBuffer(const PhysicsRowBuffer&) = delete;
    PhysicsRowBuffer& operator=(const PhysicsRowBuffer&) = delete;
    ~PhysicsRowBuffer() { Destroy(); }

    bool Create(PhysicsAllocator& allocator);
    void Destroy();

    // Copies the row to the end; false when the buffer cannot grow (the row is dropped).
    bool Append(const PhysicsCollisionResult& row);
    // Grows the buffer (in steps of kGrowth rows) until it holds at least the given rows.
    bool Reserve(int32_t rows);
    void Clear() { m_count = 0; }

    int32_t Count() const { return m_count; }
    int32_t Capacity() const { return m_capacity; }
    PhysicsCollisionResult& operator[](int32_t i) { return m_rows[i]; }

private:
    bool Grow();

    PhysicsAllocator* m_allocator = nullptr;
    PhysicsCollisionResult* m_rows = nullptr;
    int32_t m_count = 0;
    int32_t m_capacity = 0;
};
