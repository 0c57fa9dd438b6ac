#pragma once
#include <string>
#include <unordered_map>
#include <vector>

#include "Render/PAVIPlayer.h"
#include "Render/PTexture.h"
#include "Render/PTextureBlock.h"
#include "core/PSmartPointer.h"
#include "core/Singleton.h"

// Shares textures by name and texture blocks by their textures. It keeps nothing alive: a
// texture or block lives while its users hold it and leaves the cache when destroyed. Only the
// built-in "video" texture, which shows the video player's frames, is held by the cache. It
// also makes the program's only video player (PAVIPlayer.h), stopped and let go with the cache.
// Created by the material manager.
class CPTextureCache : public TSingleton<CPTextureCache> {
public:
    CPTextureCache();
    virtual ~CPTextureCache();

    // The texture loaded under this name. The first request loads it (later requests share it
    // whatever their fullSize); a texture that cannot be loaded is replaced by "error.tga" (by
    // the built-in 1 × 1 texture when that fails too), which later requests of the name get at once.
    TPtr<CPTexture> GetTexture(const std::string& name, bool fullSize);
    // The block of these textures in this order (an empty list gives the shared empty block).
    TPtr<CPTextureBlock> GetTextureBlock(const std::vector<std::string>& names, bool fullSize);

    // Forgets every name under which the texture is known (a fallback texture may stand for
    // many names).
    void RemoveTexture(const CPTexture* texture);
    void RemoveBlock(const CPTextureBlock* block);

    // Number of names and blocks known.
    int32_t CountTextures() const { return static_cast<int32_t>(m_textures.size()); }
    int32_t CountBlocks() const { return static_cast<int32_t>(m_blocks.size()); }

private:
    TPtr<CPTexture> LoadErrorTexture();

    std::unordered_map<std::string, CPTexture*> m_textures;
    std::vector<CPTextureBlock*> m_blocks;
    TPtr<CPTexture> m_video;
    TPtr<CPAVIPlayer> m_videoPlayer;
};

// The texture cache, null before its construction and after its destruction.
inline CPTextureCache* GetTextureCache() { return CPTextureCache::Instance(); }
