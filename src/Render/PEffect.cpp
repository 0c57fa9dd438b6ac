#include "Render/PEffect.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "Render/DeviceError.h"
#include "Render/PEffectCache.h"
#include "Render/PRender.h"
#include "Render/PTextureBlock.h"
#include "core/PFile.h"
#include "core/PLog.h"
#include "core/Result.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/Effect.h"

namespace {

constexpr const char* kSource = "Render\\PEffect";
const std::string kFolder = "Data\\Effects\\";
const std::string kDefaultEffect = "_default.fx";

}  // namespace

CPEffect::CPEffect() = default;

CPEffect::~CPEffect()
{
    if (CPEffectCache* cache = GetEffectCache()) cache->RemoveEffect(this);
}

bool CPEffect::Load(const std::string& name)
{
    m_name = name;
    CPFile file(kFolder + name);
    if (file.Load() == S_OK) return Compile(file.GetData(), file.GetSize(), __LINE__);
    CPFile fallback(kFolder + kDefaultEffect);
    if (fallback.Load() == S_OK) return Compile(fallback.GetData(), fallback.GetSize(), __LINE__);
    ReportDeviceError(kSource, __LINE__, "D3DERR_NOTFOUND", "neither " + name + " nor " + kDefaultEffect + " can be read");
    return false;
}

bool CPEffect::Compile(const uint8_t* data, int32_t size, int line)
{
    platform::gfx::Device* device = CurrentDevice();
    if (!device) {
        ReportDeviceError(kSource, line, "D3DERR_INVALIDCALL", "no device for the effect " + m_name);
        return false;
    }
    std::string messages;
    m_effect = device->CreateEffect(std::string_view(reinterpret_cast<const char*>(data), static_cast<size_t>(size)),
                                    messages);
    if (!m_effect) {
        ReportDeviceError(kSource, line, "D3DXERR_INVALIDDATA", m_name + ":\n" + messages);
        return false;
    }
    // The techniques before the one drawn could not be used: say why, naming the file.
    if (!messages.empty()) GetLog()->Print(0, "%s%s:\n%s", kFolder.c_str(), m_name.c_str(), messages.c_str());
    FindParameters();
    return true;
}

void CPEffect::FindParameters()
{
    using platform::gfx::ParameterType;
    const int32_t time = m_effect->FindParameter("time");
    m_timeHandle = time >= 0 && m_effect->GetParameterType(static_cast<uint32_t>(time)) == ParameterType::Float ? time : -1;
    m_textureHandles.clear();
    for (int n = 0;; ++n) {
        const int32_t handle = m_effect->FindParameter("tex" + std::to_string(n));
        if (handle < 0 || m_effect->GetParameterType(static_cast<uint32_t>(handle)) != ParameterType::Texture) break;
        m_textureHandles.push_back(handle);
    }
}

void CPEffect::SetTextures(const CPTextureBlock* block)
{
    if (!m_effect) return;
    const size_t count = block ? static_cast<size_t>(block->GetCount()) : 0;
    for (size_t i = 0; i < m_textureHandles.size(); ++i) {
        const CPTexture* texture = i < count ? block->GetTexture(static_cast<int32_t>(i)) : nullptr;
        m_effect->SetTexture(m_textureHandles[i], texture ? texture->GetTexture() : nullptr);
    }
}
