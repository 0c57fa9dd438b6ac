#include "Render/PMaterialManager.h"

#include <algorithm>

CPMaterialManager::CPMaterialManager()
    : m_textureCache(std::make_unique<CPTextureCache>()), m_effectCache(std::make_unique<CPEffectCache>())
{
}

CPMaterialManager::~CPMaterialManager()
{
    m_textureCache.reset();
    m_effectCache.reset();
}

TPtr<CPMaterial> CPMaterialManager::GetMaterial(int32_t layer, const std::string& effectName,
                                                const std::vector<std::string>& textureNames)
{
    TPtr<CPEffect> effect = m_effectCache->GetEffect(effectName);
    TPtr<CPTextureBlock> block = m_textureCache->GetTextureBlock(textureNames, layer >= kFullSizeLayer);
    for (CPMaterial* material : m_materials) {
        if (material->GetLayer() == layer && material->GetEffect() == effect.Get() &&
            material->GetTextureBlock() == block.Get()) {
            return TPtr<CPMaterial>(material);
        }
    }
    TPtr<CPMaterial> material(new CPMaterial(layer, std::move(effect), std::move(block)));
    m_materials.push_back(material.Get());
    return material;
}

void CPMaterialManager::ClearAllQueues()
{
    for (CPMaterial* material : m_materials) material->ClearQueue();
}

void CPMaterialManager::RemoveMaterial(const CPMaterial* material)
{
    std::erase(m_materials, material);
}
