#pragma once
#include <cstdint>

namespace platform::gfx {

class Device;

// Where a resource lives. Managed resources survive a device reset. Default-pool resources
// (dynamic buffers, render targets) are lost: the reset destroys their storage and their owners
// create new ones when told the device was reset.
enum class Pool : uint32_t { Managed, Default };

// Base of everything a device creates. A resource may outlive its device: it is then lost.
class Resource {
public:
    Resource(const Resource&) = delete;
    Resource& operator=(const Resource&) = delete;
    virtual ~Resource();

    Pool GetPool() const { return pool_; }
    // A lost resource holds no storage; locking, binding and drawing with it fail.
    bool IsLost() const { return device_ == nullptr; }

protected:
    Resource(Device& device, Pool pool);
    Device* GetDevice() const { return device_; }
    // Deletes the GL objects; the context is current.
    virtual void ReleaseStorage() = 0;

private:
    friend class Device;
    // Called by the device when it loses the resource (reset or destruction).
    void Lose();

    Device* device_;
    Pool pool_;
};

}  // namespace platform::gfx
