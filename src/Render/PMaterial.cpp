#include "Render/PMaterial.h"

#include "Render/PMaterialManager.h"
#include "Render/PRender.h"

CPMaterial::CPMaterial(int32_t layer, TPtr<CPEffect> effect, TPtr<CPTextureBlock> textureBlock)
    : m_renderer(GetRender()), m_effect(std::move(effect)), m_textureBlock(std::move(textureBlock)), m_layer(layer)
{
}

CPMaterial::~CPMaterial()
{
    if (CPMaterialManager* manager = GetMaterialManager()) manager->RemoveMaterial(this);
}

void CPMaterial::Enqueue(CPIVBlock* batch)
{
    m_drawList.push_back(batch);
    if (!m_registered && m_renderer) {
        m_renderer->AddToRenderQueue(this);
        m_registered = true;
    }
}
