#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/PMMObject.h"

namespace platform::gfx {
class Effect;
}
class CPTextureBlock;

// One effect file of Data\Effects compiled for the device, shared by name through the effect
// cache (PEffectCache.h). The technique drawn is the first one of the file that compiles.
// Compiled effects survive device resets.
class CPEffect : public IPMMObject {
public:
    CPEffect();
    ~CPEffect() override;

    // Reads and compiles Data\Effects\<name>; a missing file is replaced by "_default.fx" (the
    // effect keeps the requested name). False when the file (or the default) does not compile
    // or cannot be read.
    bool Load(const std::string& name);
    // Binds the block's textures to tex0, tex1, ... as far as both go; the effect's other
    // textures are unbound (they sample white), so none is left from an earlier material.
    void SetTextures(const CPTextureBlock* block);

    // Null when nothing could be compiled: such an effect draws nothing.
    platform::gfx::Effect* GetEffect() const { return m_effect.get(); }
    // The parameters tex0, tex1, ... up to the first one missing.
    const std::vector<int32_t>& GetTextureHandles() const { return m_textureHandles; }
    // The float parameter "time", or -1 when the effect has none.
    int32_t GetTimeHandle() const { return m_timeHandle; }
    const std::string& GetName() const { return m_name; }

    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPEffect - " + m_name; }

private:
    bool Compile(const uint8_t* data, int32_t size, int line);
    void FindParameters();

    std::vector<int32_t> m_textureHandles;
    std::unique_ptr<platform::gfx::Effect> m_effect;
    int32_t m_timeHandle = -1;
    std::string m_name;
};
