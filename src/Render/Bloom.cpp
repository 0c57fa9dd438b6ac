#include "Render/Bloom.h"

#include <string>
#include <string_view>

#include "Render/DeviceError.h"
#include "core/PFile.h"
#include "core/PLog.h"
#include "core/Result.h"
#include "core/SettingsVariables.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/Effect.h"
#include "platform/gfx/Texture.h"

using namespace platform::gfx;

namespace {

constexpr const char* kSource = "Render\\Bloom";
const std::string kFolder = "Data\\Effects\\";
constexpr uint32_t kWhite = 0xFFFFFFFFu;

// A quad over a target of the given size, as a two-triangle strip with the whole texture on it.
void MakeQuad(ScreenVertex (&quad)[4], float width, float height)
{
    const float right = width - 0.5f;
    const float bottom = height - 0.5f;
    quad[0] = {right, -0.5f, 1.0f, 1.0f, kWhite, 1.0f, 0.0f};
    quad[1] = {right, bottom, 1.0f, 1.0f, kWhite, 1.0f, 1.0f};
    quad[2] = {-0.5f, -0.5f, 1.0f, 1.0f, kWhite, 0.0f, 0.0f};
    quad[3] = {-0.5f, bottom, 1.0f, 1.0f, kWhite, 0.0f, 1.0f};
}

}  // namespace

CPBloom::CPBloom()
{
    MakeQuad(m_smallQuad, static_cast<float>(kWidth), static_cast<float>(kHeight));
    MakeQuad(m_screenQuad, 1024.0f, 768.0f);
}

CPBloom::~CPBloom() = default;

bool CPBloom::Init(Device* device)
{
    m_device = device;
    if (!device) return false;
    LoadEffect("bloom.fx", m_effect);
    LoadEffect("bloom2.fx", m_effect2);
    MakeQuad(m_screenQuad, static_cast<float>(device->BackBufferWidth()),
             static_cast<float>(device->BackBufferHeight()));
    m_smallA = device->CreateTexture(kWidth, kHeight, 1, Format::X8R8G8B8, TextureUsage::RenderTarget, Pool::Default);
    m_smallB = device->CreateTexture(kWidth, kHeight, 1, Format::X8R8G8B8, TextureUsage::RenderTarget, Pool::Default);
    if (!m_smallA || !m_smallB) GetLog()->Print(0, "Bloom: the device cannot make its targets\n");
    return true;
}

void CPBloom::LoadEffect(const char* name, EffectAndTextures& loaded)
{
    loaded = {};
    CPFile file(kFolder + name);
    if (file.Load() != S_OK) {
        ReportDeviceError(kSource, __LINE__, "D3DERR_NOTFOUND", std::string(name) + " cannot be read");
        return;
    }
    std::string messages;
    loaded.effect = m_device->CreateEffect(
        std::string_view(reinterpret_cast<const char*>(file.GetData()), static_cast<size_t>(file.GetSize())), messages);
    if (!loaded.effect) {
        ReportDeviceError(kSource, __LINE__, "D3DXERR_INVALIDDATA", std::string(name) + ":\n" + messages);
        return;
    }
    for (uint32_t i = 0; i < loaded.effect->ParameterCount(); ++i) {
        if (loaded.effect->GetParameterType(i) == ParameterType::Texture) {
            loaded.textureParameters.push_back(static_cast<int32_t>(i));
        }
    }
}

void CPBloom::Release()
{
    m_smallA.reset();
    m_smallB.reset();
    m_effect = {};
    m_effect2 = {};
    m_device = nullptr;
}

bool CPBloom::IsReady() const { return m_device && m_smallA && m_smallB && m_effect.effect && m_effect2.effect; }

void CPBloom::BeginStates()
{
    m_device->SetTextureStageState(0, TextureStageState::AlphaOp, TextureOp::Modulate);
    m_device->SetRenderState(RenderState::ZEnable, false);
    m_device->SetRenderState(RenderState::BlendOp, BlendOp::Add);
    m_device->SetRenderState(RenderState::Lighting, false);
    m_device->SetRenderState(RenderState::ZWriteEnable, false);
    for (uint32_t sampler = 0; sampler < 2; ++sampler) {
        m_device->SetSamplerState(sampler, SamplerState::MagFilter, TextureFilter::Linear);
        m_device->SetSamplerState(sampler, SamplerState::MinFilter, TextureFilter::Linear);
    }
    m_device->SetSamplerState(0, SamplerState::AddressU, TextureAddress::Clamp);
    m_device->SetSamplerState(0, SamplerState::AddressV, TextureAddress::Clamp);
    m_device->SetTextureStageState(0, TextureStageState::ColorOp, TextureOp::Modulate);
}

void CPBloom::EndStates()
{
    m_device->SetSamplerState(0, SamplerState::AddressU, TextureAddress::Wrap);
    m_device->SetSamplerState(0, SamplerState::AddressV, TextureAddress::Wrap);
    m_device->SetRenderState(RenderState::AlphaBlendEnable, false);
    m_device->SetRenderState(RenderState::ZEnable, true);
    m_device->SetRenderState(RenderState::Lighting, true);
    m_device->SetRenderState(RenderState::ZWriteEnable, true);
    m_device->SetTextureStageState(0, TextureStageState::AlphaOp, TextureOp::Disable);
    const TextureFilter filter = g_aniso > 1 ? TextureFilter::Anisotropic : TextureFilter::Linear;
    for (uint32_t sampler = 0; sampler < 2; ++sampler) {
        m_device->SetSamplerState(sampler, SamplerState::MagFilter, filter);
        m_device->SetSamplerState(sampler, SamplerState::MinFilter, filter);
    }
}

void CPBloom::Prepare()
{
    if (!IsReady()) return;
    BeginStates();
    m_device->StretchRect(nullptr, m_smallA.get());
    EndStates();
}

void CPBloom::Apply()
{
    if (!IsReady()) return;
    BeginStates();
    RunEffect(m_effect, *m_smallA, *m_smallB);
    RunEffect(m_effect2, *m_smallB, *m_smallA);
    AddOntoScreen();
    EndStates();
}

void CPBloom::RunEffect(EffectAndTextures& loaded, const Texture& source, Texture& target)
{
    m_device->SetRenderTarget(&target);
    Effect& effect = *loaded.effect;
    uint32_t passes = 0;
    if (!effect.Begin(passes)) return;
    for (int32_t parameter : loaded.textureParameters) effect.SetTexture(parameter, &source);
    for (uint32_t pass = 0; pass < passes; ++pass) {
        if (!effect.BeginPass(pass)) continue;
        m_device->DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, m_smallQuad);
        effect.EndPass();
    }
    effect.End();
    // The effect keeps no pointer to an image that a reset may destroy.
    for (int32_t parameter : loaded.textureParameters) effect.SetTexture(parameter, nullptr);
}

void CPBloom::AddOntoScreen()
{
    m_device->SetRenderTarget(nullptr);
    m_device->SetRenderState(RenderState::AlphaBlendEnable, true);
    m_device->SetRenderState(RenderState::SrcBlend, BlendFactor::One);
    m_device->SetRenderState(RenderState::DestBlend, BlendFactor::One);
    const Texture* previous = m_device->GetTexture(0);
    m_device->SetTexture(0, m_smallA.get());
    m_device->DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, m_screenQuad);
    m_device->SetTexture(0, previous);
}
