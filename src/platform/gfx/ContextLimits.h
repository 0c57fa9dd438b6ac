#pragma once
#include <cstdint>

namespace platform::gfx {

// What the current OpenGL context's driver offers.
struct ContextLimits {
    int32_t maxSamples = 0;     // most samples of a multisampled framebuffer
    bool s3tc = false;          // DXT textures are sampled by the driver
    int32_t maxAnisotropy = 1;  // 1 without anisotropic filtering
};

// Needs a current context.
ContextLimits QueryContextLimits();

}  // namespace platform::gfx
