#include "Render/PDeviceObject.h"

namespace {

IPDeviceObject* g_first = nullptr;
IPDeviceObject* g_last = nullptr;

}  // namespace

IPDeviceObject::IPDeviceObject() : m_prev(g_last)
{
    if (g_last) {
        g_last->m_next = this;
    } else {
        g_first = this;
    }
    g_last = this;
}

IPDeviceObject::~IPDeviceObject()
{
    (m_prev ? m_prev->m_next : g_first) = m_next;
    (m_next ? m_next->m_prev : g_last) = m_prev;
}

void IPDeviceObject::BroadcastLostDevice()
{
    for (IPDeviceObject* object = g_first; object;) {
        IPDeviceObject* next = object->m_next;
        object->OnLostDevice();
        object = next;
    }
}

void IPDeviceObject::BroadcastResetDevice()
{
    for (IPDeviceObject* object = g_first; object;) {
        IPDeviceObject* next = object->m_next;
        object->OnResetDevice();
        object = next;
    }
}

int IPDeviceObject::CountRegistered()
{
    int count = 0;
    for (const IPDeviceObject* object = g_first; object; object = object->m_next) ++count;
    return count;
}
