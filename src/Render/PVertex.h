#pragma once
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "math/PVector2.h"
#include "math/PVector3.h"
#include "platform/gfx/Vertex.h"

// The engine-wide vertex: 48 bytes, the same layout the device reads from vertex buffers.
// Colours are 32-bit ARGB (alpha in the top byte). Indices are unsigned 16-bit and every
// indexed draw is a triangle list.
struct SPVertex {
    PVector3 position;
    PVector3 normal;
    uint32_t diffuse;
    uint32_t specular;
    PVector2 tex0;
    PVector2 tex1;
};
static_assert(sizeof(SPVertex) == 48 && std::is_standard_layout_v<SPVertex> && std::is_trivially_copyable_v<SPVertex>);
static_assert(sizeof(SPVertex) == sizeof(platform::gfx::Vertex));
static_assert(offsetof(SPVertex, normal) == offsetof(platform::gfx::Vertex, nx));
static_assert(offsetof(SPVertex, diffuse) == offsetof(platform::gfx::Vertex, diffuse));
static_assert(offsetof(SPVertex, specular) == offsetof(platform::gfx::Vertex, specular));
static_assert(offsetof(SPVertex, tex0) == offsetof(platform::gfx::Vertex, u0));
static_assert(offsetof(SPVertex, tex1) == offsetof(platform::gfx::Vertex, u1));

// The most vertices one mesh may have, as one streaming buffer pair holds at most this many
// (16-bit indices 0 .. 65,534).
constexpr int32_t kMaxMeshVertices = 65535;

// The count indices all address vertices [base, base + vertices).
inline bool IndicesWithin(const uint16_t* indices, int32_t count, int32_t base, int32_t vertices)
{
    for (int32_t i = 0; i < count; ++i) {
        if (indices[i] < base || indices[i] >= base + vertices) return false;
    }
    return true;
}
