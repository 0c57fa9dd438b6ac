#pragma once
#include <cstddef>
#include <cstdint>
#include <new>

#include "physics/engine/PhysicsAllocator.h"

// A fixed-capacity pool: one allocation of `capacity` elements, a free list through the
// elements' `next` and `prev` links and an in-use byte per element. Elements are constructed
// once with the pool and reused; the caller initialises an element after taking it.
template <typename T>
class PhysicsPool {
public:
    PhysicsPool() = default;
    PhysicsPool(const PhysicsPool&) = delete;
    PhysicsPool& operator=(const PhysicsPool&) = delete;
    ~PhysicsPool() { Destroy(); }

    // False when the allocation fails (the pool then has no elements).
    bool Create(PhysicsAllocator& allocator, int32_t capacity)
    {
        Destroy();
        if (capacity <= 0) return true;
        void* memory = allocator.Alloc(sizeof(T) * static_cast<std::size_t>(capacity), alignof(T));
        if (!memory) return false;
        m_allocator = &allocator;
        m_elements = static_cast<T*>(memory);
        m_capacity = capacity;
        for (int32_t i = capacity - 1; i >= 0; --i) {
            T* element = new (&m_elements[i]) T();
            element->inUse = 0;
            element->prev = nullptr;
            element->next = m_freeHead;
            if (m_freeHead) m_freeHead->prev = element;
            m_freeHead = element;
        }
        m_freeCount = capacity;
        return true;
    }

    void Destroy()
    {
        if (!m_elements) return;
        for (int32_t i = 0; i < m_capacity; ++i) m_elements[i].~T();
        m_allocator->Free(m_elements);
        m_elements = nullptr;
        m_freeHead = nullptr;
        m_capacity = m_usedCount = m_freeCount = 0;
    }

    // The first free element, marked in use; null when the pool is exhausted.
    T* Take()
    {
        T* element = m_freeHead;
        if (!element) return nullptr;
        m_freeHead = static_cast<T*>(element->next);
        if (m_freeHead) m_freeHead->prev = nullptr;
        element->next = element->prev = nullptr;
        element->inUse = 1;
        ++m_usedCount;
        --m_freeCount;
        return element;
    }

    // Puts an element taken from this pool back at the head of the free list.
    void Return(T* element)
    {
        element->inUse = 0;
        element->prev = nullptr;
        element->next = m_freeHead;
        if (m_freeHead) m_freeHead->prev = element;
        m_freeHead = element;
        --m_usedCount;
        ++m_freeCount;
    }

    // Whether the pointer is one of this pool's elements (any address inside the allocation
    // that is not an element's start is not).
    bool Owns(const void* pointer) const
    {
        const auto address = reinterpret_cast<std::uintptr_t>(pointer);
        const auto begin = reinterpret_cast<std::uintptr_t>(m_elements);
        if (!m_elements || address < begin || address >= begin + sizeof(T) * static_cast<std::size_t>(m_capacity))
            return false;
        return (address - begin) % sizeof(T) == 0;
    }

    bool IsInUse(const T* element) const { return Owns(element) && element->inUse; }
    int32_t SlotOf(const T* element) const { return static_cast<int32_t>(element - m_elements); }
    T* At(int32_t slot) { return &m_elements[slot]; }

    int32_t Capacity() const { return m_capacity; }
    int32_t UsedCount() const { return m_usedCount; }
    int32_t FreeCount() const { return m_freeCount; }
    bool IsCreated() const { return m_elements != nullptr; }

private:
    PhysicsAllocator* m_allocator = nullptr;
    T* m_elements = nullptr;
    T* m_freeHead = nullptr;
    int32_t m_capacity = 0;
    int32_t m_usedCount = 0;
    int32_t m_freeCount = 0;
};
