#pragma once

// Base of the objects that hold device resources a device reset destroys. Every instance joins
// a program-wide registry when it is constructed and leaves it when destroyed; the renderer
// tells the registry, in registration order, before and after each reset.
//
// The registry is an intrusive doubly linked list: joining and leaving never allocate.
class IPDeviceObject {
public:
    // Release what the reset destroys.
    virtual void OnLostDevice() = 0;
    // Create it again.
    virtual void OnResetDevice() = 0;
    virtual ~IPDeviceObject();

    // Every registered object, first registered first.
    static void BroadcastLostDevice();
    static void BroadcastResetDevice();
    static int CountRegistered();

protected:
    IPDeviceObject();
    // A copy is a new registered object.
    IPDeviceObject(const IPDeviceObject&) : IPDeviceObject() {}
    IPDeviceObject& operator=(const IPDeviceObject&) { return *this; }

private:
    IPDeviceObject* m_prev = nullptr;
    IPDeviceObject* m_next = nullptr;
};
