#pragma once
#include <cstdint>

#include "math/PMatrix.h"
#include "platform/gfx/Light.h"
#include "platform/gfx/Material.h"
#include "platform/gfx/Rect.h"
#include "platform/gfx/RenderStates.h"

namespace platform::gfx {

// Binding points of the engine's uniform blocks, shared by every program.
constexpr uint32_t kTransformBinding = 0;
constexpr uint32_t kLightingBinding = 1;
constexpr uint32_t kPixelBinding = 2;

// The blocks as the shaders see them (std140). Matrices stay row by row.
struct TransformBlock {
    PMatrix world;
    PMatrix view;
    PMatrix projection;  // depth remapped from 0..1 to GL's -1..1
    PMatrix worldView;
    PMatrix worldViewProjection;
    PMatrix normalMatrix;  // turns normals into view space; only the upper 3 × 3 counts
    float viewport[4];     // x, y, width, height in pixels, from the top-left
    float target[4];       // width, height, vertical flip (1 or -1), unused
};
static_assert(sizeof(TransformBlock) == 6 * 64 + 32);

struct LightBlock {
    float diffuse[4];
    float specular[4];
    float ambient[4];
    float position[4];     // view space; w is the light type
    float direction[4];    // unit direction in view space; w is the range
    float attenuation[4];  // a0, a1, a2, falloff
    float spot[4];         // cos(theta / 2), cos(phi / 2)
};

struct LightingBlock {
    float ambient[4];
    float materialDiffuse[4];
    float materialAmbient[4];
    float materialSpecular[4];
    float materialEmissive[4];
    float materialPower[4];
    int32_t flags[4];  // lighting on, specular on, number of lights
    LightBlock lights[kMaxLights];
};

struct PixelBlock {
    int32_t stageColor[kFixedFunctionStages][4];  // operation, argument 1, argument 2
    int32_t stageAlpha[kFixedFunctionStages][4];
    int32_t flags[4];  // alpha test on, alpha function, alpha reference, specular on
};

// What the transform block is computed from.
struct TransformInputs {
    const PMatrix* world;
    const PMatrix* view;
    const PMatrix* projection;
    Viewport viewport;
    int32_t targetWidth;
    int32_t targetHeight;
    bool flipped;  // drawing into a texture
};

void PackTransforms(const TransformInputs& in, TransformBlock& out);
// renderStates is indexed by RenderState; enabled lights come first-enabled first.
void PackLighting(const uint32_t* renderStates, const Material& material, const Light* lights,
                  const bool* lightEnabled, const PMatrix& view, LightingBlock& out);
void PackPixel(const uint32_t* renderStates,
               const uint32_t (*stageStates)[static_cast<uint32_t>(TextureStageState::Count)], PixelBlock& out);

// P with its 0..1 clip depth remapped to -1..1: z' = 2z - w.
PMatrix RemapDepth(const PMatrix& projection);

}  // namespace platform::gfx
