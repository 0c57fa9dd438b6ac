#pragma once
#include <cstdint>

#include "platform/gfx/Buffer.h"

namespace platform::gfx {

// A buffer of 16-bit indices. Made by Device::CreateIndexBuffer.
class IndexBuffer : public Buffer {
public:
    uint32_t IndexCount() const { return SizeBytes() / sizeof(uint16_t); }

    // Maps count indices from first for writing (count 0: up to the end); null on failure.
    uint16_t* Lock(uint32_t first, uint32_t count, uint32_t flags)
    {
        if (first > IndexCount() || count > IndexCount() - first) return nullptr;
        return static_cast<uint16_t*>(LockBytes(first * sizeof(uint16_t), count * sizeof(uint16_t), flags));
    }
    bool Unlock() { return UnlockBytes(); }

private:
    friend class Device;
    IndexBuffer(Device& device, Usage usage, Pool pool, uint32_t indexCount)
        : Buffer(device, usage, pool, indexCount * sizeof(uint16_t))
    {
    }
};

}  // namespace platform::gfx
