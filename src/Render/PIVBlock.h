#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Render/PDeviceObject.h"
#include "Render/PRenderObjectBase.h"
#include "core/PSmartPointer.h"

class CPIVertexBuffer;
namespace platform::gfx {
class IndexBuffer;
class VertexBuffer;
}  // namespace platform::gfx

// One material's batch in the render block: the render objects handed over this frame and,
// once CPIVertexBuffer::FillBlock has streamed them, where their dynamic geometry lies in the
// ring (one contiguous range of one buffer pair) and the static and animated objects grouped
// by the mesh they are drawn from. The render block makes one batch per material and reuses it
// every frame.
class CPIVBlock : public IPMMObject, public IPDeviceObject {
public:
    explicit CPIVBlock(TPtr<CPIVertexBuffer> owner);
    ~CPIVBlock() override;

    // Appends the object (with a reference); dynamic objects add their counts to the totals.
    void AddRenderObject(const TPtr<CPRenderObjectBase>& object);

    void OnLostDevice() override { written = false; }
    void OnResetDevice() override {}

    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPIVBlock"; }

    // Where the dynamic geometry was written: the range [firstVertex, firstVertex + vertexCount)
    // of vertexBuffer and [startIndex, startIndex + indexCount) of indexBuffer. Before the fill,
    // indexCount and vertexCount are the totals of the dynamic objects added this frame.
    int32_t firstVertex = 0;
    int32_t startIndex = 0;
    int32_t indexCount = 0;
    int32_t vertexCount = 0;
    // The dynamic geometry is in the ring this frame.
    bool written = false;
    // The static and animated objects of the last fill, grouped by mesh, each group in
    // submission order.
    std::vector<TPtr<CPRenderObjectBase>> staticObjects;
    // The ring, held so that it outlives the batch.
    TPtr<CPIVertexBuffer> vertexBufferOwner;
    // Everything added this frame, in order.
    std::vector<TPtr<CPRenderObjectBase>> dynamicObjects;
    // The pair written into (not owned).
    const platform::gfx::VertexBuffer* vertexBuffer = nullptr;
    const platform::gfx::IndexBuffer* indexBuffer = nullptr;
};
