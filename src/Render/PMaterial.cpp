#include "Render/PMaterial.h"

#include "Render/PMaterialManager.h"
#include "Render/PRender.h"

CPMaterial::CPMaterial(int32_t layer, TPtr<CPEffect> effect, TPtr<CPTextureBlock> textureBlock)
    : m_effect(std::move(effect)), m_textureBlock(std::move(textureBlock)), m_layer(layer)
{
}

CPMaterial::~CPMaterial()
{
    if (CPMaterialManager* manager = GetMaterialManager()) manager->RemoveMaterial(this);
}

void CPMaterial::Enqueue(CPIVBlock* batch)
{
    m_drawList.push_back(batch);
    // Materials may outlive the renderer at shutdown: it is looked up, not kept.
    CPRender* render = GetRender();
    if (!m_registered && render) {
        render->AddToRenderQueue(this);
        m_registered = true;
    }
}
