#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Render/PTexture.h"
#include "core/PSmartPointer.h"

// The ordered textures a material binds, shared through the texture cache: two materials that
// name the same textures in the same order hold the same block.
class CPTextureBlock : public IPMMObject {
public:
    explicit CPTextureBlock(std::vector<TPtr<CPTexture>> textures);
    ~CPTextureBlock() override;

    int32_t GetCount() const { return static_cast<int32_t>(m_textures.size()); }
    CPTexture* GetTexture(int32_t index) const { return m_textures[static_cast<size_t>(index)].Get(); }
    // The same textures, pointer by pointer, in the same order.
    bool Holds(const std::vector<TPtr<CPTexture>>& textures) const { return m_textures == textures; }

    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPTextureBlock"; }

private:
    std::vector<TPtr<CPTexture>> m_textures;
};
