#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "Render/PVertex.h"
#include "platform/gfx/IndexBuffer.h"
#include "platform/gfx/VertexBuffer.h"

// One static mesh uploaded once into managed buffers, which survive device resets. The
// renderer's mesh cache owns these records (CPRender::GetMeshBuffers).
struct SPMeshBuffers {
    std::unique_ptr<platform::gfx::VertexBuffer> vertexBuffer;
    std::unique_ptr<platform::gfx::IndexBuffer> indexBuffer;
    int32_t vertexCount = 0;
    int32_t triangleCount = 0;  // indices / 3
    std::vector<SPVertex> vertices;
    std::vector<uint16_t> indices;
};
