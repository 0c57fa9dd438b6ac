#include "core/PMMObject.h"

#include <unordered_set>

#include "core/PLog.h"

// The two program-wide registries. Plain pointers, so they exist before any engine object is
// constructed, whatever the order of static initialisation.
struct ObjectRegistry {
    struct List {
        IPMMObject* first = nullptr;
        IPMMObject* last = nullptr;
        int32_t size = 0;
    };

    static void Append(List& list, IPMMObject* object) {
        object->m_prev = list.last;
        object->m_next = nullptr;
        if (list.last) {
            list.last->m_next = object;
        } else {
            list.first = object;
        }
        list.last = object;
        ++list.size;
    }

    static void Remove(List& list, IPMMObject* object) {
        if (object->m_prev) {
            object->m_prev->m_next = object->m_next;
        } else {
            list.first = object->m_next;
        }
        if (object->m_next) {
            object->m_next->m_prev = object->m_prev;
        } else {
            list.last = object->m_prev;
        }
        object->m_prev = nullptr;
        object->m_next = nullptr;
        --list.size;
    }

    static IPMMObject* Next(const IPMMObject* object) { return object->m_next; }

    static constinit List live;
    static constinit List pending;
};

constinit ObjectRegistry::List ObjectRegistry::live;
constinit ObjectRegistry::List ObjectRegistry::pending;

namespace {

// Every object from its construction to its destruction. Never destroyed itself, so objects that
// outlive the static destructors can still leave it.
std::unordered_set<const void*>& ExistingObjects() {
    static auto* objects = new std::unordered_set<const void*>;
    return *objects;
}

std::unordered_map<std::string, int32_t>& ClassStatistics() {
    static std::unordered_map<std::string, int32_t> table;
    return table;
}

}  // namespace

IPMMObject::IPMMObject() {
    ExistingObjects().insert(this);
    ObjectRegistry::Append(ObjectRegistry::live, this);
}

// CollectGarbage unlinks an object before deleting it; an object destroyed any other way leaves
// its registry here, so no list keeps a dangling entry.
IPMMObject::~IPMMObject() {
    ExistingObjects().erase(this);
    if (m_deleting) return;
    ObjectRegistry::Remove(m_dead ? ObjectRegistry::pending : ObjectRegistry::live, this);
}

void IPMMObject::AddRef() {
    ++m_count;
    if (!m_dead || m_deleting) return;
    m_dead = false;
    ObjectRegistry::Remove(ObjectRegistry::pending, this);
    ObjectRegistry::Append(ObjectRegistry::live, this);
}

void IPMMObject::Release() {
    --m_count;
    if (m_dead || m_count > 0) return;
    ObjectRegistry::Remove(ObjectRegistry::live, this);
    m_dead = true;
    ObjectRegistry::Append(ObjectRegistry::pending, this);
}

void CollectGarbage() {
    // Always take the first pending object: objects that a destructor releases join at the end
    // and are deleted in the same call; objects that a destructor revives leave the list.
    while (IPMMObject* object = ObjectRegistry::pending.first) {
        ObjectRegistry::Remove(ObjectRegistry::pending, object);
        object->m_deleting = true;
        delete object;
    }
}

void IPMMObject::DumpStatistics() {
    for (const IPMMObject* o = ObjectRegistry::pending.first; o; o = ObjectRegistry::Next(o)) {
        GetLog()->Print(0, "Удаленный объект: ссылок - %d, класс - %s, размер - %d bytes", o->m_count,
                        o->GetClassName().c_str(), o->GetSize());
    }
    std::unordered_map<std::string, int32_t> fresh;
    for (const IPMMObject* o = ObjectRegistry::live.first; o; o = ObjectRegistry::Next(o)) {
        ++fresh[o->GetClassName()];
    }
    for (const auto& [name, count] : fresh) ClassStatistics()[name] = count;
}

const std::unordered_map<std::string, int32_t>& IPMMObject::GetClassStatistics() { return ClassStatistics(); }

int32_t IPMMObject::ReportLiveObjects() {
    for (const IPMMObject* o = ObjectRegistry::live.first; o; o = ObjectRegistry::Next(o)) {
        GetLog()->Print(0, "Live engine object: references %d, class %s, size %d bytes", o->m_count,
                        o->GetClassName().c_str(), o->GetSize());
    }
    GetLog()->Print(0, "Live engine objects: %d", ObjectRegistry::live.size);
    return ObjectRegistry::live.size;
}

IPMMObject* IPMMObject::Find(const void* address) {
    if (!address || !ExistingObjects().contains(address)) return nullptr;
    return static_cast<IPMMObject*>(const_cast<void*>(address));
}

int32_t IPMMObject::CountLiveObjects() { return ObjectRegistry::live.size; }

int32_t IPMMObject::CountPendingObjects() { return ObjectRegistry::pending.size; }
