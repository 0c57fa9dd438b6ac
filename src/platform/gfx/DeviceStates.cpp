#include "platform/gfx/Device.h"

#include <algorithm>

#include <epoxy/gl.h>


namespace platform::gfx {
namespace {

GLenum ToGl(CompareFunc func)
{
    switch (func) {
    case CompareFunc::Never: return GL_NEVER;
    case CompareFunc::Less: return GL_LESS;
    case CompareFunc::Equal: return GL_EQUAL;
    case CompareFunc::LessEqual: return GL_LEQUAL;
    case CompareFunc::Greater: return GL_GREATER;
    case CompareFunc::NotEqual: return GL_NOTEQUAL;
    case CompareFunc::GreaterEqual: return GL_GEQUAL;
    case CompareFunc::Always: return GL_ALWAYS;
    }
    return GL_ALWAYS;
}

GLenum ToGl(BlendFactor factor)
{
    switch (factor) {
    case BlendFactor::Zero: return GL_ZERO;
    case BlendFactor::One: return GL_ONE;
    case BlendFactor::SrcColor: return GL_SRC_COLOR;
    case BlendFactor::InvSrcColor: return GL_ONE_MINUS_SRC_COLOR;
    case BlendFactor::SrcAlpha: return GL_SRC_ALPHA;
    case BlendFactor::InvSrcAlpha: return GL_ONE_MINUS_SRC_ALPHA;
    case BlendFactor::DestAlpha: return GL_DST_ALPHA;
    case BlendFactor::InvDestAlpha: return GL_ONE_MINUS_DST_ALPHA;
    case BlendFactor::DestColor: return GL_DST_COLOR;
    case BlendFactor::InvDestColor: return GL_ONE_MINUS_DST_COLOR;
    }
    return GL_ONE;
}

GLenum ToGl(BlendOp op)
{
    switch (op) {
    case BlendOp::Add: return GL_FUNC_ADD;
    case BlendOp::Subtract: return GL_FUNC_SUBTRACT;
    case BlendOp::RevSubtract: return GL_FUNC_REVERSE_SUBTRACT;
    case BlendOp::Min: return GL_MIN;
    case BlendOp::Max: return GL_MAX;
    }
    return GL_FUNC_ADD;
}

GLenum ToGl(FillMode mode)
{
    switch (mode) {
    case FillMode::Point: return GL_POINT;
    case FillMode::Wireframe: return GL_LINE;
    case FillMode::Solid: return GL_FILL;
    }
    return GL_FILL;
}

void SetFlag(GLenum capability, bool on)
{
    if (on) {
        glEnable(capability);
    } else {
        glDisable(capability);
    }
}

}  // namespace

// The states of a new device: Direct3D's defaults, with a white material.
void Device::ResetStates()
{
    using RS = RenderState;
    const auto set = [this](RS state, uint32_t value) { renderStates_[Index(state)] = value; };
    set(RS::ZEnable, 1);
    set(RS::ZWriteEnable, 1);
    set(RS::ZFunc, static_cast<uint32_t>(CompareFunc::LessEqual));
    set(RS::CullMode, static_cast<uint32_t>(CullMode::CCW));
    set(RS::AlphaBlendEnable, 0);
    set(RS::SrcBlend, static_cast<uint32_t>(BlendFactor::One));
    set(RS::DestBlend, static_cast<uint32_t>(BlendFactor::Zero));
    set(RS::BlendOp, static_cast<uint32_t>(BlendOp::Add));
    set(RS::AlphaTestEnable, 0);
    set(RS::AlphaRef, 0);
    set(RS::AlphaFunc, static_cast<uint32_t>(CompareFunc::Always));
    set(RS::FillMode, static_cast<uint32_t>(FillMode::Solid));
    set(RS::Lighting, 1);
    set(RS::SpecularEnable, 0);
    set(RS::Ambient, 0);
    for (auto& sampler : samplerStates_) {
        sampler[static_cast<uint32_t>(SamplerState::MinFilter)] = static_cast<uint32_t>(TextureFilter::Point);
        sampler[static_cast<uint32_t>(SamplerState::MagFilter)] = static_cast<uint32_t>(TextureFilter::Point);
        sampler[static_cast<uint32_t>(SamplerState::MipFilter)] = static_cast<uint32_t>(TextureFilter::None);
        sampler[static_cast<uint32_t>(SamplerState::AddressU)] = static_cast<uint32_t>(TextureAddress::Wrap);
        sampler[static_cast<uint32_t>(SamplerState::AddressV)] = static_cast<uint32_t>(TextureAddress::Wrap);
        sampler[static_cast<uint32_t>(SamplerState::MaxAnisotropy)] = 1;
    }
    for (uint32_t stage = 0; stage < kFixedFunctionStages; ++stage) {
        auto& s = stageStates_[stage];
        s[static_cast<uint32_t>(TextureStageState::ColorOp)] =
            static_cast<uint32_t>(stage == 0 ? TextureOp::Modulate : TextureOp::Disable);
        s[static_cast<uint32_t>(TextureStageState::AlphaOp)] =
            static_cast<uint32_t>(stage == 0 ? TextureOp::SelectArg1 : TextureOp::Disable);
        s[static_cast<uint32_t>(TextureStageState::ColorArg1)] = static_cast<uint32_t>(TextureArg::Texture);
        s[static_cast<uint32_t>(TextureStageState::ColorArg2)] = static_cast<uint32_t>(TextureArg::Current);
        s[static_cast<uint32_t>(TextureStageState::AlphaArg1)] = static_cast<uint32_t>(TextureArg::Texture);
        s[static_cast<uint32_t>(TextureStageState::AlphaArg2)] = static_cast<uint32_t>(TextureArg::Current);
    }
    std::fill(std::begin(textures_), std::end(textures_), nullptr);
    std::fill(std::begin(appliedTextures_), std::end(appliedTextures_), 0u);
    for (PMatrix& transform : transforms_) transform = MatrixIdentity();
    material_ = Material{{1.0f, 1.0f, 1.0f, 1.0f}, {0.0f, 0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 0.0f},
                         {0.0f, 0.0f, 0.0f, 0.0f}, 0.0f};
    std::fill(std::begin(lights_), std::end(lights_), Light{});
    std::fill(std::begin(lightEnabled_), std::end(lightEnabled_), false);
    vertexBuffer_ = nullptr;
    indexBuffer_ = nullptr;
    passPrograms_ = nullptr;
    renderTarget_ = nullptr;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    viewport_ = {0, 0, backBufferWidth_, backBufferHeight_, 0.0f, 1.0f};
    ApplyViewport();
    renderStatesDirty_ = true;
    samplersDirty_ = ~0u;
    transformsDirty_ = lightingDirty_ = pixelDirty_ = true;
}

void Device::SetRenderState(RenderState state, uint32_t value)
{
    if (state >= RenderState::Count) return;
    renderStates_[Index(state)] = value;
    switch (state) {
    case RenderState::Lighting:
    case RenderState::Ambient: lightingDirty_ = true; break;
    case RenderState::SpecularEnable: lightingDirty_ = pixelDirty_ = true; break;
    case RenderState::AlphaTestEnable:
    case RenderState::AlphaRef:
    case RenderState::AlphaFunc: pixelDirty_ = true; break;
    default: renderStatesDirty_ = true; break;
    }
}

void Device::SetTextureStageState(uint32_t stage, TextureStageState state, uint32_t value)
{
    if (stage >= kFixedFunctionStages || state >= TextureStageState::Count) return;
    stageStates_[stage][static_cast<uint32_t>(state)] = value;
    pixelDirty_ = true;
}

uint32_t Device::GetTextureStageState(uint32_t stage, TextureStageState state) const
{
    if (stage >= kFixedFunctionStages || state >= TextureStageState::Count) return 0;
    return stageStates_[stage][static_cast<uint32_t>(state)];
}

void Device::FlushRenderStates()
{
    const auto state = [this](RenderState s) { return renderStates_[Index(s)]; };
    SetFlag(GL_DEPTH_TEST, state(RenderState::ZEnable) != 0);
    glDepthMask(state(RenderState::ZWriteEnable) != 0 ? GL_TRUE : GL_FALSE);
    glDepthFunc(ToGl(static_cast<CompareFunc>(state(RenderState::ZFunc))));
    // Clockwise faces, as seen on the screen, are front faces.
    const auto cull = static_cast<CullMode>(state(RenderState::CullMode));
    SetFlag(GL_CULL_FACE, cull != CullMode::None);
    glFrontFace(Flipped() ? GL_CCW : GL_CW);
    glCullFace(cull == CullMode::CW ? GL_FRONT : GL_BACK);
    SetFlag(GL_BLEND, state(RenderState::AlphaBlendEnable) != 0);
    glBlendFunc(ToGl(static_cast<BlendFactor>(state(RenderState::SrcBlend))),
                ToGl(static_cast<BlendFactor>(state(RenderState::DestBlend))));
    glBlendEquation(ToGl(static_cast<BlendOp>(state(RenderState::BlendOp))));
    glPolygonMode(GL_FRONT_AND_BACK, ToGl(static_cast<FillMode>(state(RenderState::FillMode))));
    renderStatesDirty_ = false;
}

}  // namespace platform::gfx
