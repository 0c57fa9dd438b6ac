#pragma once
#include <cstdint>
#include <type_traits>

namespace platform::gfx {

// The engine-wide vertex the device reads from vertex buffers: 48 bytes, colours 0xAARRGGBB
// (bytes B, G, R, A in memory).
struct Vertex {
    float x, y, z;
    float nx, ny, nz;
    uint32_t diffuse;
    uint32_t specular;
    float u0, v0;
    float u1, v1;
};
static_assert(sizeof(Vertex) == 48 && std::is_standard_layout_v<Vertex>);

// A pre-transformed vertex for screen quads: x and y in pixels of the render target with (0, 0)
// the centre of the top-left pixel (a quad from -0.5 to width - 0.5 covers every pixel once),
// z the depth 0..1, rhw the reciprocal of w. It bypasses transforms and lighting.
struct ScreenVertex {
    float x, y, z, rhw;
    uint32_t diffuse;
    float u, v;
};
static_assert(sizeof(ScreenVertex) == 28 && std::is_standard_layout_v<ScreenVertex>);

enum class PrimitiveType : uint32_t { TriangleList, TriangleStrip, LineList };

// Vertices that primitiveCount primitives of a type use.
constexpr uint32_t VerticesForPrimitives(PrimitiveType type, uint32_t primitiveCount)
{
    switch (type) {
    case PrimitiveType::TriangleList: return primitiveCount * 3;
    case PrimitiveType::TriangleStrip: return primitiveCount == 0 ? 0 : primitiveCount + 2;
    case PrimitiveType::LineList: return primitiveCount * 2;
    }
    return 0;
}

}  // namespace platform::gfx
