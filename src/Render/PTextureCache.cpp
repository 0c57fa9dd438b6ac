#include "Render/PTextureCache.h"

#include <algorithm>

namespace {

const std::string kErrorTexture = "error.tga";
const std::string kVideoTexture = "video";

}  // namespace

CPTextureCache::CPTextureCache() : m_textures(100), m_video(new CPTexture), m_videoPlayer(new CPAVIPlayer)
{
    m_textures[kVideoTexture] = m_video.Get();
}

CPTextureCache::~CPTextureCache()
{
    m_videoPlayer->Stop();
    m_videoPlayer.Reset();
    m_video.Reset();
    m_textures.clear();
    m_blocks.clear();
}

TPtr<CPTexture> CPTextureCache::GetTexture(const std::string& name, bool fullSize)
{
    if (const auto found = m_textures.find(name); found != m_textures.end()) return TPtr<CPTexture>(found->second);
    TPtr<CPTexture> texture(new CPTexture);
    if (!texture->Load(name, fullSize)) texture = LoadErrorTexture();
    m_textures[name] = texture.Get();
    return texture;
}

TPtr<CPTexture> CPTextureCache::LoadErrorTexture()
{
    TPtr<CPTexture> texture(new CPTexture);
    if (!texture->Load(kErrorTexture, false)) texture->LoadBuiltIn(kErrorTexture);
    return texture;
}

TPtr<CPTextureBlock> CPTextureCache::GetTextureBlock(const std::vector<std::string>& names, bool fullSize)
{
    std::vector<TPtr<CPTexture>> textures;
    textures.reserve(names.size());
    for (const std::string& name : names) textures.push_back(GetTexture(name, fullSize));
    for (CPTextureBlock* block : m_blocks) {
        if (block->Holds(textures)) return TPtr<CPTextureBlock>(block);
    }
    TPtr<CPTextureBlock> block(new CPTextureBlock(std::move(textures)));
    m_blocks.push_back(block.Get());
    return block;
}

void CPTextureCache::RemoveTexture(const CPTexture* texture)
{
    std::erase_if(m_textures, [texture](const auto& entry) { return entry.second == texture; });
}

void CPTextureCache::RemoveBlock(const CPTextureBlock* block)
{
    std::erase(m_blocks, block);
}
