#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gfx/Vertex.h"

namespace platform::gfx {
class Device;
class Effect;
class Texture;
}  // namespace platform::gfx

// The bloom post-process: a 256 × 192 copy of the 3D scene goes through the effects
// Data\Effects\bloom.fx and bloom2.fx and the result is added onto the whole screen. The
// renderer runs Prepare then Apply just before the first layer above 194, so the screen layers
// are not bloomed. Init makes the device resources (again after every device reset: the
// targets are lost by it), Release lets them go.
//
// The first effect draws the copy into a second small target, the second effect draws that back
// into the first, so no pass reads the target it draws into. Every texture parameter of an
// effect gets the image it reads. Without both effects (a missing or broken file, reported to
// the log at Init) the frame stays as it is.
class CPBloom {
public:
    static constexpr uint32_t kWidth = 256;
    static constexpr uint32_t kHeight = 192;

    CPBloom();
    ~CPBloom();
    CPBloom(const CPBloom&) = delete;
    CPBloom& operator=(const CPBloom&) = delete;

    // Loads both effects and makes the two small targets; the screen quad takes the back
    // buffer's size. False without a device.
    bool Init(platform::gfx::Device* device);
    // Lets go of the targets and effects and forgets the device.
    void Release();
    // Copies the back buffer into the small working image.
    void Prepare();
    // Runs both effects over the working image and adds it onto the back buffer.
    void Apply();

    // Init has run and both effects and both targets exist.
    bool IsReady() const;

private:
    struct EffectAndTextures {
        std::unique_ptr<platform::gfx::Effect> effect;
        std::vector<int32_t> textureParameters;
    };

    void LoadEffect(const char* name, EffectAndTextures& loaded);
    void BeginStates();
    void EndStates();
    void RunEffect(EffectAndTextures& loaded, const platform::gfx::Texture& source, platform::gfx::Texture& target);
    void AddOntoScreen();

    platform::gfx::Device* m_device = nullptr;
    std::unique_ptr<platform::gfx::Texture> m_smallA;  // the working image
    std::unique_ptr<platform::gfx::Texture> m_smallB;  // the image between the two effects
    EffectAndTextures m_effect;
    EffectAndTextures m_effect2;
    platform::gfx::ScreenVertex m_smallQuad[4];
    platform::gfx::ScreenVertex m_screenQuad[4];
};
