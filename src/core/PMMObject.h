#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>

// Base of every engine object that is shared between subsystems.
//
// An object carries a reference count that starts at 0 (a new object is not counted until its
// first AddRef). Release never deletes: when the count falls to zero the object moves from the
// registry of live objects to the list of objects pending deletion, and CollectGarbage, called
// once per main-loop pass, deletes what is pending. Until then an AddRef revives the object.
// Objects are created with new and destroyed only by CollectGarbage; hold them through
// CPSmartPointer / TPtr<T> (PSmartPointer.h).
//
// Both registries are intrusive lists (an object is in exactly one of them), so counting never
// allocates.
class IPMMObject {
public:
    IPMMObject();
    virtual ~IPMMObject();

    // A copy is a new object: registered live, not counted. Assignment keeps the target's count.
    IPMMObject(const IPMMObject&) : IPMMObject() {}
    IPMMObject& operator=(const IPMMObject&) { return *this; }

    virtual void AddRef();
    virtual void Release();
    // The object's size in bytes.
    virtual int32_t GetSize() const = 0;
    // The class name; scene objects append their own name.
    virtual std::string GetClassName() const = 0;

    int32_t GetRefCount() const { return m_count; }
    // True while the object waits for deletion.
    bool IsDead() const { return m_dead; }

    // Writes one log line per pending object, then counts the live objects per class into the
    // class-statistics table.
    static void DumpStatistics();
    // Class name -> live count as of the latest report; names that disappeared keep their last count.
    static const std::unordered_map<std::string, int32_t>& GetClassStatistics();
    // Writes one log line per live object, then their number, which it returns. At the end of a
    // run every engine object is gone, so the report at exit shows each one that leaked.
    static int32_t ReportLiveObjects();

    // The engine object at this address while it exists (live or waiting for deletion), else
    // null; the address must be that of the IPMMObject part. Handles that come back from scripts
    // are checked this way. Constant time.
    static IPMMObject* Find(const void* address);

    // Number of objects in each registry.
    static int32_t CountLiveObjects();
    static int32_t CountPendingObjects();

private:
    friend void CollectGarbage();
    friend struct ObjectRegistry;

    // Links of the registry the object is in: the live list, or the pending list while dead.
    IPMMObject* m_prev = nullptr;
    IPMMObject* m_next = nullptr;
    bool m_dead = false;
    // Set by CollectGarbage while the destructor runs: counting then leaves the registries alone.
    bool m_deleting = false;
    int32_t m_count = 0;
};

// Deletes every object pending deletion, including those that the destructors release on the way.
void CollectGarbage();
