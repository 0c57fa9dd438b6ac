#include "platform/gfx/Device.h"

#include <algorithm>

#include <cstring>

#include <epoxy/gl.h>

#include "platform/gfx/IndexBuffer.h"
#include "platform/gfx/VertexBuffer.h"

namespace platform::gfx {
namespace {

constexpr uint32_t kInitialStreamBytes = 1u << 20;

GLenum ToGl(PrimitiveType type)
{
    switch (type) {
    case PrimitiveType::TriangleList: return GL_TRIANGLES;
    case PrimitiveType::TriangleStrip: return GL_TRIANGLE_STRIP;
    case PrimitiveType::LineList: return GL_LINES;
    }
    return GL_TRIANGLES;
}

void SetEngineAttributes()
{
    constexpr GLsizei stride = sizeof(Vertex);
    for (GLuint i = 0; i < 6; ++i) glEnableVertexAttribArray(i);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(Vertex, x)));
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(Vertex, nx)));
    glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride, reinterpret_cast<void*>(offsetof(Vertex, diffuse)));
    glVertexAttribPointer(3, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride, reinterpret_cast<void*>(offsetof(Vertex, specular)));
    glVertexAttribPointer(4, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(Vertex, u0)));
    glVertexAttribPointer(5, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(Vertex, u1)));
}

void SetScreenAttributes()
{
    constexpr GLsizei stride = sizeof(ScreenVertex);
    for (GLuint i : {0u, 2u, 4u}) glEnableVertexAttribArray(i);
    glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(ScreenVertex, x)));
    glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                          reinterpret_cast<void*>(offsetof(ScreenVertex, diffuse)));
    glVertexAttribPointer(4, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(ScreenVertex, u)));
}

}  // namespace

std::unique_ptr<VertexBuffer> Device::CreateVertexBuffer(uint32_t vertexCount, Usage usage, Pool pool)
{
    if (vertexCount == 0 || vertexCount > UINT32_MAX / sizeof(Vertex)) return nullptr;
    if (usage == Usage::Dynamic && pool == Pool::Managed) return nullptr;
    return Finish(std::unique_ptr<VertexBuffer>(new VertexBuffer(*this, usage, pool, vertexCount)));
}

std::unique_ptr<IndexBuffer> Device::CreateIndexBuffer(uint32_t indexCount, Usage usage, Pool pool)
{
    if (indexCount == 0 || indexCount > UINT32_MAX / sizeof(uint16_t)) return nullptr;
    if (usage == Usage::Dynamic && pool == Pool::Managed) return nullptr;
    return Finish(std::unique_ptr<IndexBuffer>(new IndexBuffer(*this, usage, pool, indexCount)));
}

void Device::CreateStream()
{
    glGenBuffers(1, &stream_);
    glBindBuffer(GL_ARRAY_BUFFER, stream_);
    streamCapacity_ = kInitialStreamBytes;
    glBufferData(GL_ARRAY_BUFFER, streamCapacity_, nullptr, GL_STREAM_DRAW);
    glGenVertexArrays(1, &bufferVertexArray_);
    glGenVertexArrays(2, streamVertexArrays_);
    glBindVertexArray(streamVertexArrays_[0]);
    SetEngineAttributes();
    glBindVertexArray(streamVertexArrays_[1]);
    SetScreenAttributes();
    glBindVertexArray(0);
}

void Device::SetStreamSource(const VertexBuffer* vertices) { vertexBuffer_ = vertices; }
void Device::SetIndices(const IndexBuffer* indices) { indexBuffer_ = indices; }

void Device::AttachBuffers()
{
    if (boundVertexArray_ != bufferVertexArray_) {
        glBindVertexArray(bufferVertexArray_);
        boundVertexArray_ = bufferVertexArray_;
    }
    if (attachedVertexBuffer_ != vertexBuffer_->Name()) {
        glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_->Name());
        SetEngineAttributes();
        attachedVertexBuffer_ = vertexBuffer_->Name();
    }
    if (indexBuffer_ != nullptr && attachedIndexBuffer_ != indexBuffer_->Name()) {
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_->Name());
        attachedIndexBuffer_ = indexBuffer_->Name();
    }
}

bool Device::DrawIndexedPrimitive(PrimitiveType type, int32_t baseVertex, uint32_t minIndex, uint32_t vertexCount,
                                  uint32_t startIndex, uint32_t primitiveCount)
{
    if (vertexBuffer_ == nullptr || indexBuffer_ == nullptr) return false;
    if (vertexBuffer_->IsLost() || indexBuffer_->IsLost() || vertexBuffer_->IsLocked() || indexBuffer_->IsLocked()) {
        return false;
    }
    const uint32_t indexCount = VerticesForPrimitives(type, primitiveCount);
    if (indexCount == 0 || vertexCount == 0) return false;
    if (startIndex > indexBuffer_->IndexCount() || indexCount > indexBuffer_->IndexCount() - startIndex) return false;
    const int64_t first = static_cast<int64_t>(baseVertex) + minIndex;
    if (first < 0 || first + vertexCount > vertexBuffer_->VertexCount()) return false;
    if (!PrepareDraw(VertexKind::Engine)) return false;
    AttachBuffers();
    glDrawRangeElementsBaseVertex(ToGl(type), minIndex, minIndex + vertexCount - 1, static_cast<GLsizei>(indexCount),
                                  GL_UNSIGNED_SHORT, reinterpret_cast<void*>(static_cast<uintptr_t>(startIndex) * 2),
                                  baseVertex);
    return true;
}

bool Device::DrawPrimitive(PrimitiveType type, uint32_t startVertex, uint32_t primitiveCount)
{
    if (vertexBuffer_ == nullptr || vertexBuffer_->IsLost() || vertexBuffer_->IsLocked()) return false;
    const uint32_t vertexCount = VerticesForPrimitives(type, primitiveCount);
    if (vertexCount == 0 || startVertex > vertexBuffer_->VertexCount() ||
        vertexCount > vertexBuffer_->VertexCount() - startVertex) {
        return false;
    }
    if (!PrepareDraw(VertexKind::Engine)) return false;
    AttachBuffers();
    glDrawArrays(ToGl(type), static_cast<GLint>(startVertex), static_cast<GLsizei>(vertexCount));
    return true;
}

bool Device::StreamVertices(const void* data, uint32_t bytes, uint32_t stride, uint32_t& firstVertex)
{
    glBindBuffer(GL_ARRAY_BUFFER, stream_);
    uint32_t offset = (streamOffset_ + stride - 1) / stride * stride;
    if (bytes > streamCapacity_) {
        while (streamCapacity_ < bytes) streamCapacity_ *= 2;
        glBufferData(GL_ARRAY_BUFFER, streamCapacity_, nullptr, GL_STREAM_DRAW);
        offset = 0;
    } else if (offset > streamCapacity_ || bytes > streamCapacity_ - offset) {
        glBufferData(GL_ARRAY_BUFFER, streamCapacity_, nullptr, GL_STREAM_DRAW);  // fresh storage
        offset = 0;
    }
    void* target = glMapBufferRange(GL_ARRAY_BUFFER, offset, bytes,
                                    GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_RANGE_BIT | GL_MAP_UNSYNCHRONIZED_BIT);
    if (target == nullptr) return false;
    std::memcpy(target, data, bytes);
    if (glUnmapBuffer(GL_ARRAY_BUFFER) != GL_TRUE) return false;
    firstVertex = offset / stride;
    streamOffset_ = offset + bytes;
    return true;
}

bool Device::DrawPrimitiveUP(PrimitiveType type, uint32_t primitiveCount, const Vertex* vertices)
{
    return DrawFromMemory(type, primitiveCount, vertices, sizeof(Vertex), VertexKind::Engine);
}

bool Device::DrawPrimitiveUP(PrimitiveType type, uint32_t primitiveCount, const ScreenVertex* vertices)
{
    return DrawFromMemory(type, primitiveCount, vertices, sizeof(ScreenVertex), VertexKind::Screen);
}

bool Device::DrawFromMemory(PrimitiveType type, uint32_t primitiveCount, const void* vertices, uint32_t stride,
                            VertexKind kind)
{
    const uint32_t vertexCount = VerticesForPrimitives(type, primitiveCount);
    if (vertices == nullptr || vertexCount == 0 || vertexCount > UINT32_MAX / stride) return false;
    uint32_t first = 0;
    if (!PrepareDraw(kind)) return false;
    if (!StreamVertices(vertices, vertexCount * stride, stride, first)) return false;
    const uint32_t vertexArray = streamVertexArrays_[kind == VertexKind::Engine ? 0 : 1];
    glBindVertexArray(vertexArray);
    boundVertexArray_ = vertexArray;
    glDrawArrays(ToGl(type), static_cast<GLint>(first), static_cast<GLsizei>(vertexCount));
    return true;
}

}  // namespace platform::gfx
