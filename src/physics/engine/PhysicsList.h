#pragma once
#include <cstdint>

// An intrusive doubly linked list over elements that carry `next` and `prev` links (the same
// links a pool keeps its free list in: an element is on one list at a time).
template <typename T>
struct PhysicsList {
    T* head = nullptr;
    T* tail = nullptr;
    int32_t count = 0;

    void Append(T* element)
    {
        element->prev = tail;
        element->next = nullptr;
        if (tail) tail->next = element; else head = element;
        tail = element;
        ++count;
    }

    void Prepend(T* element)
    {
        element->next = head;
        element->prev = nullptr;
        if (head) head->prev = element; else tail = element;
        head = element;
        ++count;
    }

    void Unlink(T* element)
    {
        T* next = static_cast<T*>(element->next);
        T* prev = static_cast<T*>(element->prev);
        if (prev) prev->next = next; else head = next;
        if (next) next->prev = prev; else tail = prev;
        element->next = element->prev = nullptr;
        --count;
    }

    void Clear() { head = tail = nullptr; count = 0; }
};

// The following element of a list walk.
template <typename T>
T* NextOf(const T* element) { return static_cast<T*>(element->next); }
