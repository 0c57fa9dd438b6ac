#pragma once
#include <cstdint>

#include "platform/gfx/LockFlags.h"
#include "platform/gfx/Resource.h"

namespace platform::gfx {

// How a buffer is written: Static once (or rarely), Dynamic every frame.
enum class Usage : uint32_t { Static, Dynamic };

// GPU memory for vertices or indices, written through Lock and Unlock.
class Buffer : public Resource {
public:
    ~Buffer() override;

    uint32_t SizeBytes() const { return sizeBytes_; }
    Usage GetUsage() const { return usage_; }
    bool IsLocked() const { return locked_; }

protected:
    Buffer(Device& device, Usage usage, Pool pool, uint32_t sizeBytes);

    // Maps [offset, offset + size) for writing; size 0 means up to the end. Null when the buffer
    // is lost, already locked or the range leaves the buffer.
    void* LockBytes(uint32_t offset, uint32_t size, uint32_t flags);
    // False when the buffer was not locked or its contents were lost while mapped.
    bool UnlockBytes();

private:
    friend class Device;
    bool CreateStorage();
    void ReleaseStorage() override;
    uint32_t Name() const { return name_; }

    uint32_t name_ = 0;
    uint32_t sizeBytes_;
    Usage usage_;
    bool locked_ = false;
};

}  // namespace platform::gfx
