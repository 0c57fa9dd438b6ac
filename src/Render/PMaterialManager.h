#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Render/PEffectCache.h"
#include "Render/PMaterial.h"
#include "Render/PTextureCache.h"
#include "core/PSmartPointer.h"
#include "core/Singleton.h"

// Hands out materials and owns the texture and effect caches. Created at start-up, destroyed
// at shutdown. It keeps no material alive: a material leaves the list when destroyed.
class CPMaterialManager : public TSingleton<CPMaterialManager> {
public:
    // Materials on this layer and above (the interface) load their textures at full size,
    // without DXT5 compression or low resolution.
    static constexpr int32_t kFullSizeLayer = 198;

    // Creates the texture cache, then the effect cache.
    CPMaterialManager();
    // Destroys the texture cache and the effect cache; the materials are not released.
    virtual ~CPMaterialManager();

    // The one material of this layer, effect file and textures (in this order).
    TPtr<CPMaterial> GetMaterial(int32_t layer, const std::string& effectName, const std::vector<std::string>& textureNames);
    // Empties every material's draw list (after the main loop ends).
    void ClearAllQueues();
    void RemoveMaterial(const CPMaterial* material);

    CPTextureCache* GetTextureCache() const { return m_textureCache.get(); }
    CPEffectCache* GetEffectCache() const { return m_effectCache.get(); }
    int32_t CountMaterials() const { return static_cast<int32_t>(m_materials.size()); }

private:
    std::vector<CPMaterial*> m_materials;
    std::unique_ptr<CPTextureCache> m_textureCache;
    std::unique_ptr<CPEffectCache> m_effectCache;
};

// The material manager, null before its construction and after its destruction.
inline CPMaterialManager* GetMaterialManager() { return CPMaterialManager::Instance(); }
