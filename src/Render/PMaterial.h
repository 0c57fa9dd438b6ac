#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Render/PEffect.h"
#include "Render/PTextureBlock.h"
#include "core/PSmartPointer.h"

class CPIVBlock;

// What the renderer draws with: a render layer, an effect and a texture block. The material
// manager hands out one material per (layer, effect, texture block). During a frame the render
// block queues its batches on their materials; the first queued batch enters the material in
// the renderer's layered queue.
class CPMaterial : public IPMMObject {
public:
    CPMaterial(int32_t layer, TPtr<CPEffect> effect, TPtr<CPTextureBlock> textureBlock);
    ~CPMaterial() override;

    // Appends the batch to this frame's draw list; registers the material in the renderer's
    // queue when it is not registered.
    void Enqueue(CPIVBlock* batch);
    // Empties the draw list (its storage stays allocated).
    void ClearQueue() { m_drawList.clear(); }

    int32_t GetLayer() const { return m_layer; }
    CPEffect* GetEffect() const { return m_effect.Get(); }
    CPTextureBlock* GetTextureBlock() const { return m_textureBlock.Get(); }
    // This frame's batches in queue order (not counted).
    const std::vector<CPIVBlock*>& GetDrawList() const { return m_drawList; }
    // The renderer's queue holds the material; the queue clears it when it drops the entry.
    bool IsRegistered() const { return m_registered; }
    void SetRegistered(bool registered) { m_registered = registered; }

    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPMaterial - " + m_effect->GetName(); }

private:
    TPtr<CPEffect> m_effect;
    TPtr<CPTextureBlock> m_textureBlock;
    std::vector<CPIVBlock*> m_drawList;
    int32_t m_layer;
    bool m_registered = false;
};
