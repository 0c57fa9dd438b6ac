#include "platform/gfx/EngineUniforms.h"

#include <cmath>
#include <cstring>

namespace platform::gfx {
namespace {

uint32_t State(const uint32_t* states, RenderState state) { return states[static_cast<uint32_t>(state)]; }

void Store(float out[4], const ColorValue& c)
{
    out[0] = c.r;
    out[1] = c.g;
    out[2] = c.b;
    out[3] = c.a;
}

void Store(float out[4], const PVector3& v, float w)
{
    out[0] = v.x;
    out[1] = v.y;
    out[2] = v.z;
    out[3] = w;
}

// The cofactors of the upper 3 × 3 of m, signed by its determinant: the inverse transpose up to
// a positive scale, which the shader's normalisation removes.
PMatrix NormalMatrix(const PMatrix& m)
{
    const auto& a = m.m;
    PMatrix c = MatrixIdentity();
    c.m[0][0] = a[1][1] * a[2][2] - a[1][2] * a[2][1];
    c.m[0][1] = a[1][2] * a[2][0] - a[1][0] * a[2][2];
    c.m[0][2] = a[1][0] * a[2][1] - a[1][1] * a[2][0];
    c.m[1][0] = a[0][2] * a[2][1] - a[0][1] * a[2][2];
    c.m[1][1] = a[0][0] * a[2][2] - a[0][2] * a[2][0];
    c.m[1][2] = a[0][1] * a[2][0] - a[0][0] * a[2][1];
    c.m[2][0] = a[0][1] * a[1][2] - a[0][2] * a[1][1];
    c.m[2][1] = a[0][2] * a[1][0] - a[0][0] * a[1][2];
    c.m[2][2] = a[0][0] * a[1][1] - a[0][1] * a[1][0];
    const float determinant = a[0][0] * c.m[0][0] + a[0][1] * c.m[0][1] + a[0][2] * c.m[0][2];
    if (determinant < 0.0f) {
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) c.m[i][j] = -c.m[i][j];
        }
    }
    return c;
}

void PackLight(const Light& light, const PMatrix& view, LightBlock& out)
{
    Store(out.diffuse, light.diffuse);
    Store(out.specular, light.specular);
    Store(out.ambient, light.ambient);
    const PVector4 position = Vec3Transform(light.position, view);
    Store(out.position, PVector3{position.x, position.y, position.z}, static_cast<float>(light.type));
    Store(out.direction, Vec3Normalize(Vec3TransformNormal(light.direction, view)), light.range);
    out.attenuation[0] = light.attenuation0;
    out.attenuation[1] = light.attenuation1;
    out.attenuation[2] = light.attenuation2;
    out.attenuation[3] = light.falloff;
    out.spot[0] = std::cos(light.theta * 0.5f);
    out.spot[1] = std::cos(light.phi * 0.5f);
    out.spot[2] = 0.0f;
    out.spot[3] = 0.0f;
}

}  // namespace

PMatrix RemapDepth(const PMatrix& projection)
{
    PMatrix p = projection;
    for (int row = 0; row < 4; ++row) p.m[row][2] = 2.0f * projection.m[row][2] - projection.m[row][3];
    return p;
}

void PackTransforms(const TransformInputs& in, TransformBlock& out)
{
    out.world = *in.world;
    out.view = *in.view;
    out.projection = RemapDepth(*in.projection);
    out.worldView = *in.world * *in.view;
    out.worldViewProjection = out.worldView * out.projection;
    out.normalMatrix = NormalMatrix(out.worldView);
    out.viewport[0] = static_cast<float>(in.viewport.x);
    out.viewport[1] = static_cast<float>(in.viewport.y);
    out.viewport[2] = static_cast<float>(in.viewport.width);
    out.viewport[3] = static_cast<float>(in.viewport.height);
    out.target[0] = static_cast<float>(in.targetWidth);
    out.target[1] = static_cast<float>(in.targetHeight);
    out.target[2] = in.flipped ? -1.0f : 1.0f;
    out.target[3] = 0.0f;
}

void PackLighting(const uint32_t* renderStates, const Material& material, const Light* lights,
                  const bool* lightEnabled, const PMatrix& view, LightingBlock& out)
{
    Store(out.ambient, ColorFromArgb(State(renderStates, RenderState::Ambient)));
    Store(out.materialDiffuse, material.diffuse);
    Store(out.materialAmbient, material.ambient);
    Store(out.materialSpecular, material.specular);
    Store(out.materialEmissive, material.emissive);
    out.materialPower[0] = material.power;
    out.materialPower[1] = out.materialPower[2] = out.materialPower[3] = 0.0f;
    int32_t count = 0;
    for (uint32_t i = 0; i < kMaxLights; ++i) {
        if (lightEnabled[i]) PackLight(lights[i], view, out.lights[count++]);
    }
    out.flags[0] = State(renderStates, RenderState::Lighting) != 0 ? 1 : 0;
    out.flags[1] = State(renderStates, RenderState::SpecularEnable) != 0 ? 1 : 0;
    out.flags[2] = count;
    out.flags[3] = 0;
}

void PackPixel(const uint32_t* renderStates,
               const uint32_t (*stageStates)[static_cast<uint32_t>(TextureStageState::Count)], PixelBlock& out)
{
    const auto stage = [&](uint32_t s, TextureStageState state) {
        return static_cast<int32_t>(stageStates[s][static_cast<uint32_t>(state)]);
    };
    for (uint32_t s = 0; s < kFixedFunctionStages; ++s) {
        out.stageColor[s][0] = stage(s, TextureStageState::ColorOp);
        out.stageColor[s][1] = stage(s, TextureStageState::ColorArg1);
        out.stageColor[s][2] = stage(s, TextureStageState::ColorArg2);
        out.stageColor[s][3] = 0;
        out.stageAlpha[s][0] = stage(s, TextureStageState::AlphaOp);
        out.stageAlpha[s][1] = stage(s, TextureStageState::AlphaArg1);
        out.stageAlpha[s][2] = stage(s, TextureStageState::AlphaArg2);
        out.stageAlpha[s][3] = 0;
    }
    out.flags[0] = State(renderStates, RenderState::AlphaTestEnable) != 0 ? 1 : 0;
    out.flags[1] = static_cast<int32_t>(State(renderStates, RenderState::AlphaFunc));
    out.flags[2] = static_cast<int32_t>(State(renderStates, RenderState::AlphaRef) & 0xFFu);
    out.flags[3] = State(renderStates, RenderState::SpecularEnable) != 0 ? 1 : 0;
}

}  // namespace platform::gfx
