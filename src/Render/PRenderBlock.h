#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "Render/PDeviceObject.h"
#include "Render/PIVBlock.h"
#include "Render/PIVertexBuffer.h"
#include "Render/PMaterial.h"
#include "Render/PRenderObjectBase.h"
#include "core/PSmartPointer.h"

class CPGameObject;

// The frame's collector: game code and the engine's tasks hand it what is to be drawn in this
// frame (scene objects and bare render objects), and it batches them per material. The renderer
// then streams the batches' dynamic geometry into the ring (FillBuffers), queues every batch on
// its material (Submit), draws, and ends the frame (EndFrame), which lets go of everything
// handed over: nothing stays on screen unless it is handed over again in the next frame.
//
// A batch is made on the first object of its material and reused in every later frame. The
// renderer fills at the start of an update what was submitted in its previous update, so the
// first frame after the block is made draws no dynamic geometry.
class CPRenderBlock : public IPMMObject, public IPDeviceObject {
public:
    CPRenderBlock();
    ~CPRenderBlock() override;

    // A visible scene object's displayed thing for this frame: the render object of a mesh,
    // vertex-animated object or sprite joins the batch of its material; a light joins the
    // renderer's lights of the frame while fewer than 30 are queued. Hidden objects and other
    // kinds are ignored.
    void AddObject(const TPtr<CPGameObject>& object);
    // AddObject, then, while the object is visible, the same for each child.
    void AddObjectTree(const TPtr<CPGameObject>& object);
    // A visible shadow-casting mesh, vertex-animated object or sprite once more, drawn with the
    // given material (the renderer's shadow material); everything else is ignored.
    void AddObjectWithMaterial(const TPtr<CPMaterial>& material, const TPtr<CPGameObject>& object);
    // AddObjectWithMaterial, then, while the object is visible, the same for each child.
    void AddObjectTreeWithMaterial(const TPtr<CPMaterial>& material, const TPtr<CPGameObject>& object);
    // A bare render object (particles, level geometry), not tested for visibility, in the batch
    // of its own material; one without a material is ignored.
    void AddRenderObject(const TPtr<CPRenderObjectBase>& object);

    // Makes the ring the dynamic geometry streams into; false (and no ring) when it cannot be
    // made completely.
    bool CreateBuffer(bool isStatic, int32_t maxVertices, int32_t maxIndices);
    // Before the scene is begun: the renderer keeps the block for the fill of its next update,
    // and each batch of the frame is queued on its material.
    void Submit();
    // Streams the batches of the frame not yet written into the next pair of the ring. False
    // when there was nothing to fill or the ring cannot be locked; the batches are then not
    // drawn in this frame.
    bool FillBuffers();
    // After the frame (drawn or not): every object handed over (and every scene object whose
    // render object was) is released and the batches are emptied for the next frame.
    void EndFrame();

    void OnLostDevice() override { m_needsFill = true; }
    void OnResetDevice() override {}

    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPRenderBlock"; }

    const TPtr<CPIVertexBuffer>& GetVertexBuffer() const { return m_vertexBuffer; }
    // Batches that hold objects of the current frame.
    int32_t CountFrameBatches() const { return static_cast<int32_t>(m_frameBlocks.size()); }

private:
    struct FrameBatch {
        TPtr<CPMaterial> material;
        CPIVBlock* batch;  // owned by m_blocks
    };

    // Adds the render object to the batch of the material for this frame.
    void AddToBatch(CPMaterial* material, const TPtr<CPRenderObjectBase>& object);
    // Adds the render object a scene object shows, and keeps the scene object until the frame
    // ends: the render object reads its owner's place while its geometry is written.
    void AddShown(CPMaterial* material, CPRenderObjectBase& shown, const TPtr<CPGameObject>& owner);
    CPIVBlock& BatchOf(CPMaterial* material);

    TPtr<CPIVertexBuffer> m_vertexBuffer;
    // The batches of the current frame, in the order their first object came.
    std::vector<FrameBatch> m_frameBlocks;
    // The scene objects whose render objects the batches of the current frame hold.
    std::vector<TPtr<CPGameObject>> m_frameOwners;
    // Every batch made, one per material, kept for the block's lifetime.
    std::unordered_map<const CPMaterial*, TPtr<CPIVBlock>> m_blocks;
    bool m_needsFill = true;
};
