#include "Render/PTextureBlock.h"

#include "Render/PTextureCache.h"

CPTextureBlock::CPTextureBlock(std::vector<TPtr<CPTexture>> textures) : m_textures(std::move(textures)) {}

CPTextureBlock::~CPTextureBlock()
{
    m_textures.clear();
    if (CPTextureCache* cache = GetTextureCache()) cache->RemoveBlock(this);
}
