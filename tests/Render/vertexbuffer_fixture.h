#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Render/PIVBlock.h"
#include "Render/PIVertexBuffer.h"
#include "Render/PRenderObjectBase.h"
#include "Render/PVertex.h"
#include "resource_fixture.h"

namespace restest {

// A dynamic render object for the streaming tests: a coloured quad in clip space (x, y from -1
// to 1, y up) followed by padding vertices and degenerate triangles up to the requested counts.
class QuadObject : public CPRenderObjectBase {
public:
    QuadObject(float left, float top, float right, float bottom, uint32_t colour, int32_t vertices = 4,
               int32_t indices = 6);

    // The first index written is this far past the object's last vertex.
    void WriteIndexPastTheEnd() { m_badIndex = true; }
    void SetCounts(int32_t vertices, int32_t indices);

    int32_t GetType() const override { return m_type; }
    void SetType(int32_t type) override { m_type = type; }
    int32_t GetVertexCount() const override { return m_vertices; }
    int32_t GetIndexCount() const override { return m_indices; }
    void WriteGeometry(SPVertex* vertices, uint16_t* indices, uint16_t base) override;
    TPtr<CPMaterial> GetMaterial() const override { return nullptr; }
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "QuadObject"; }

private:
    float m_left, m_top, m_right, m_bottom;
    uint32_t m_colour;
    int32_t m_vertices;
    int32_t m_indices;
    int32_t m_type = CPRenderObjectBase::Dynamic;
    bool m_badIndex = false;
};

// A window-sized test with the renderer's device: draws batches and meshes as the draw pass
// does, with identity transforms and the vertex colours alone.
class StreamingTest : public ResourceTest {
protected:

    TPtr<QuadObject> Quad(float left, float top, float right, float bottom, uint32_t colour, int32_t vertices = 4,
                          int32_t indices = 6);
    TPtr<CPIVBlock> Batch(const TPtr<CPIVertexBuffer>& ring, const std::vector<TPtr<QuadObject>>& objects);
    // Clears the back buffer to black and sets the states for drawing vertex colours.
    void BeginDrawing();
    void DrawBatch(const CPIVBlock& batch);
    // The back-buffer pixel at the centre of the clip-space point (x, y).
    uint32_t PixelAt(float x, float y);
};

}  // namespace restest
