#pragma once
#include <cstdint>

#include "platform/gfx/Buffer.h"
#include "platform/gfx/Vertex.h"

namespace platform::gfx {

// A buffer of engine vertices (Vertex, 48 bytes each). Made by Device::CreateVertexBuffer.
class VertexBuffer : public Buffer {
public:
    uint32_t VertexCount() const { return SizeBytes() / sizeof(Vertex); }

    // Maps count vertices from first for writing (count 0: up to the end); null on failure.
    Vertex* Lock(uint32_t first, uint32_t count, uint32_t flags)
    {
        if (first > VertexCount() || count > VertexCount() - first) return nullptr;
        return static_cast<Vertex*>(LockBytes(first * sizeof(Vertex), count * sizeof(Vertex), flags));
    }
    bool Unlock() { return UnlockBytes(); }

private:
    friend class Device;
    VertexBuffer(Device& device, Usage usage, Pool pool, uint32_t vertexCount)
        : Buffer(device, usage, pool, vertexCount * sizeof(Vertex))
    {
    }
};

}  // namespace platform::gfx
