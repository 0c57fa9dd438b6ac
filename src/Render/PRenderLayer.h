#pragma once
#include <cstdint>
#include <unordered_map>

#include "Render/PBaseCamera.h"
#include "Render/PEffect.h"
#include "Render/PMaterial.h"
#include "Render/PTextureBlock.h"
#include "core/PSmartPointer.h"
#include "math/PMatrix.h"

// The renderer's layered queue: layers drawn in ascending id, inside a layer the materials
// grouped by effect, then by texture block. Materials enter it when their first batch of a frame
// is queued; groups and entries that have had nothing to draw for more than ten frames leave
// it again.

// One material of an effect group, filed under its texture block (one material exists per
// layer, effect and texture block). Dropping the entry lets the material register again.
struct SPMaterialEntry {
    SPMaterialEntry() = default;
    ~SPMaterialEntry() {
        if (material) material->SetRegistered(false);
    }
    SPMaterialEntry(const SPMaterialEntry&) = delete;
    SPMaterialEntry& operator=(const SPMaterialEntry&) = delete;

    int32_t frameStamp = 0;  // frame counter when the entry last had batches to draw
    int32_t useCount = 0;    // registrations
    TPtr<CPTextureBlock> textureBlock;
    TPtr<CPMaterial> material;
};

// The materials of one layer that draw with one effect: the effect is begun once for all.
struct SPEffectGroup {
    int32_t frameStamp = 0;  // frame counter when the group was last drawn
    int32_t useCount = 0;    // material entries registered in the group
    TPtr<CPEffect> effect;
    std::unordered_map<const CPTextureBlock*, SPMaterialEntry> entries;
};

// One render layer: an optional camera and world matrix set before its materials are drawn.
// Later layers without a camera keep the last camera set.
struct SPRenderLayer {
    int32_t frameStamp = 0;  // frame counter when the layer was last drawn
    int32_t useCount = 0;    // material registrations, cameras and world matrices set; drawn while at least 1
    int32_t id = 0;
    TPtr<CPBaseCamera> camera;
    bool hasWorld = false;
    PMatrix world = MatrixIdentity();
    std::unordered_map<const CPEffect*, SPEffectGroup> effectGroups;
};
