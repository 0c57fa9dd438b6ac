#include "platform/gfx/Device.h"

#include <algorithm>

#include <epoxy/gl.h>

#include "platform/gfx/GlFormats.h"

namespace platform::gfx {
namespace {

GLenum ToGl(TextureAddress address)
{
    switch (address) {
    case TextureAddress::Wrap: return GL_REPEAT;
    case TextureAddress::Mirror: return GL_MIRRORED_REPEAT;
    case TextureAddress::Clamp: return GL_CLAMP_TO_EDGE;
    }
    return GL_REPEAT;
}

bool Smooth(TextureFilter filter) { return filter == TextureFilter::Linear || filter == TextureFilter::Anisotropic; }

GLenum MinFilter(TextureFilter min, TextureFilter mip)
{
    if (mip == TextureFilter::None) return Smooth(min) ? GL_LINEAR : GL_NEAREST;
    if (mip == TextureFilter::Point) return Smooth(min) ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    return Smooth(min) ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
}

}  // namespace

std::unique_ptr<Texture> Device::CreateTexture(uint32_t width, uint32_t height, uint32_t levels, Format format,
                                               TextureUsage usage, Pool pool)
{
    const uint32_t maxSize = static_cast<uint32_t>(caps_.maxTextureSize);
    if (width == 0 || height == 0 || width > maxSize || height > maxSize) return nullptr;
    const uint32_t fullChain = FullMipChain(width, height);
    if (levels == 0) levels = fullChain;
    if (levels > fullChain) return nullptr;
    if (IsCompressed(format) && (width % 4 != 0 || height % 4 != 0)) return nullptr;
    if (usage == TextureUsage::RenderTarget &&
        (levels != 1 || pool != Pool::Default || (format != Format::A8R8G8B8 && format != Format::X8R8G8B8))) {
        return nullptr;
    }
    const bool decodeOnCpu = options_.decodeDxtOnCpu || !caps_.s3tc;
    return Finish(
        std::unique_ptr<Texture>(new Texture(*this, width, height, levels, format, usage, pool, decodeOnCpu)));
}

void Device::SetSamplerState(uint32_t sampler, SamplerState state, uint32_t value)
{
    if (sampler >= kTextureStages || state >= SamplerState::Count) return;
    samplerStates_[sampler][static_cast<uint32_t>(state)] = value;
    samplersDirty_ |= 1u << sampler;
}

uint32_t Device::GetSamplerState(uint32_t sampler, SamplerState state) const
{
    if (sampler >= kTextureStages || state >= SamplerState::Count) return 0;
    return samplerStates_[sampler][static_cast<uint32_t>(state)];
}

void Device::SetTexture(uint32_t stage, const Texture* texture)
{
    if (stage < kTextureStages) textures_[stage] = texture;
}

void Device::FlushSamplers()
{
    for (uint32_t unit = 0; unit < kTextureStages; ++unit) {
        if ((samplersDirty_ & (1u << unit)) == 0) continue;
        const auto state = [&](SamplerState s) { return samplerStates_[unit][static_cast<uint32_t>(s)]; };
        const auto min = static_cast<TextureFilter>(state(SamplerState::MinFilter));
        const auto mag = static_cast<TextureFilter>(state(SamplerState::MagFilter));
        const auto mip = static_cast<TextureFilter>(state(SamplerState::MipFilter));
        const GLuint sampler = samplers_[unit];
        glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(MinFilter(min, mip)));
        glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, Smooth(mag) ? GL_LINEAR : GL_NEAREST);
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S,
                            static_cast<GLint>(ToGl(static_cast<TextureAddress>(state(SamplerState::AddressU)))));
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T,
                            static_cast<GLint>(ToGl(static_cast<TextureAddress>(state(SamplerState::AddressV)))));
        if (caps_.maxAnisotropy > 1) {
            const bool anisotropic = min == TextureFilter::Anisotropic || mag == TextureFilter::Anisotropic;
            const uint32_t wanted = std::clamp<uint32_t>(state(SamplerState::MaxAnisotropy), 1,
                                                         static_cast<uint32_t>(caps_.maxAnisotropy));
            glSamplerParameterf(sampler, GL_TEXTURE_MAX_ANISOTROPY_EXT, anisotropic ? static_cast<float>(wanted) : 1.0f);
        }
    }
    samplersDirty_ = 0;
}

void Device::FlushTextures()
{
    for (uint32_t unit = 0; unit < kTextureStages; ++unit) {
        const Texture* texture = textures_[unit];
        const GLuint name = texture != nullptr && !texture->IsLost() ? texture->name_ : whiteTexture_;
        if (appliedTextures_[unit] == name) continue;
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, name);
        appliedTextures_[unit] = name;
    }
}

}  // namespace platform::gfx
