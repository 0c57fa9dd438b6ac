#pragma once
#include <concepts>
#include <cstddef>
#include <utility>

#include "core/PMMObject.h"

// CPSmartPointer: the engine's counting handle to one IPMMObject (or null). Copying adds a
// reference, destruction releases it; moving transfers the reference without counting.
//
// TPtr<T>: the same handle typed for a class T derived from IPMMObject. It IS a CPSmartPointer
// (no extra state), so it can be stored or passed wherever a CPSmartPointer is expected, and a
// TPtr<Derived> converts implicitly to a TPtr<Base>.
//
//     TPtr<CPGlobalTimer> timer(new CPGlobalTimer);
//     timer->SetPriority(10);
//     GetKernel()->AddTask(timer);               // TPtr<IPTask> from TPtr<CPGlobalTimer>
//     CPSmartPointer any = timer;                 // untyped
//     CPGlobalTimer* t = any.Get<CPGlobalTimer>(); // checked downcast: null when not one
//
// Release never deletes at once (PMMObject.h), so assigning a pointer the object it already holds
// is safe.
class CPSmartPointer {
public:
    CPSmartPointer() noexcept = default;
    CPSmartPointer(std::nullptr_t) noexcept {}
    CPSmartPointer(IPMMObject* object) { Assign(object); }
    CPSmartPointer(const CPSmartPointer& other) { Assign(other.m_object); }
    CPSmartPointer(CPSmartPointer&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    ~CPSmartPointer() {
        if (m_object) m_object->Release();
    }

    CPSmartPointer& operator=(const CPSmartPointer& other) {
        Assign(other.m_object);
        return *this;
    }
    CPSmartPointer& operator=(CPSmartPointer&& other) noexcept {
        if (this != &other) {
            if (m_object) m_object->Release();
            m_object = std::exchange(other.m_object, nullptr);
        }
        return *this;
    }
    CPSmartPointer& operator=(IPMMObject* object) {
        Assign(object);
        return *this;
    }

    // Releases the old object, then holds and counts the new one (either may be null).
    void Assign(IPMMObject* object) {
        if (m_object) m_object->Release();
        m_object = object;
        if (m_object) m_object->AddRef();
    }
    void Reset() { Assign(nullptr); }

    IPMMObject* Get() const { return m_object; }
    // The object as a T, or null when it is null or not a T.
    template <class T>
    T* Get() const {
        return dynamic_cast<T*>(m_object);
    }
    IPMMObject* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

    friend bool operator==(const CPSmartPointer& a, const CPSmartPointer& b) { return a.m_object == b.m_object; }
    friend bool operator==(const CPSmartPointer& a, const IPMMObject* b) { return a.m_object == b; }
    friend bool operator==(const CPSmartPointer& a, std::nullptr_t) { return a.m_object == nullptr; }

private:
    IPMMObject* m_object = nullptr;
};

template <class T>
class TPtr : public CPSmartPointer {
public:
    TPtr() noexcept = default;
    TPtr(std::nullptr_t) noexcept {}
    TPtr(T* object) : CPSmartPointer(object) {}
    template <class U>
        requires std::derived_from<U, T>
    TPtr(const TPtr<U>& other) : CPSmartPointer(other) {}
    template <class U>
        requires std::derived_from<U, T>
    TPtr(TPtr<U>&& other) noexcept : CPSmartPointer(std::move(other)) {}

    // Typed view of an untyped pointer: null when it holds no T.
    static TPtr From(const CPSmartPointer& any) { return TPtr(any.Get<T>()); }

    TPtr& operator=(T* object) {
        Assign(object);
        return *this;
    }

    using CPSmartPointer::Get;
    T* Get() const { return static_cast<T*>(CPSmartPointer::Get()); }
    T* operator->() const { return Get(); }
    T& operator*() const { return *Get(); }
};
