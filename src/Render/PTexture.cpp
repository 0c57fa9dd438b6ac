#include "Render/PTexture.h"

#include "Render/DeviceError.h"
#include "Render/ImageDecoders.h"
#include "Render/PRender.h"
#include "Render/PTextureCache.h"
#include "core/PFile.h"
#include "core/Result.h"
#include "core/SettingsVariables.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/Texture.h"

using platform::gfx::Format;

namespace {

constexpr const char* kSource = "Render\\PTexture";
const std::string kFolder = "Data\\Textures\\";

std::string JpgName(const std::string& name)
{
    return (name.size() < 3 ? name : name.substr(0, name.size() - 3)) + "jpg";
}

}  // namespace

CPTexture::CPTexture() = default;

CPTexture::~CPTexture()
{
    if (CPTextureCache* cache = GetTextureCache()) cache->RemoveTexture(this);
}

bool CPTexture::Load(const std::string& name, bool fullSize)
{
    CPFile file(kFolder + name);
    CPFile jpg(kFolder + JpgName(name));
    CPFile* found = &file;
    if (file.Load() != S_OK) found = jpg.Load() == S_OK ? &jpg : nullptr;
    m_name = name;
    if (!found) return false;
    return Create(found->GetData(), static_cast<size_t>(found->GetSize()), fullSize);
}

bool CPTexture::Create(const uint8_t* data, size_t size, bool fullSize)
{
    platform::gfx::Device* device = CurrentDevice();
    SPImage image;
    std::string error;
    if (!device) {
        ReportDeviceError(kSource, __LINE__, "D3DERR_INVALIDCALL", "no device for the texture " + m_name);
        return false;
    }
    if (!DecodeImage(data, size, image, error) ||
        !PrepareImage(image, static_cast<uint32_t>(device->Caps().maxTextureSize), !fullSize && g_dxt5 != 0)) {
        ReportDeviceError(kSource, __LINE__, "D3DXERR_INVALIDDATA", m_name + ": " + error);
        return false;
    }
    auto texture = device->CreateTexture(image.width, image.height, static_cast<uint32_t>(image.levels.size()),
                                         image.format, platform::gfx::TextureUsage::Normal,
                                         platform::gfx::Pool::Managed);
    bool uploaded = texture != nullptr;
    for (uint32_t level = 0; uploaded && level < image.levels.size(); ++level) {
        uploaded = texture->Update(level, nullptr, image.levels[level].data(),
                                   platform::gfx::RowPitch(image.format, image.LevelWidth(level)));
    }
    if (!uploaded) {
        ReportDeviceError(kSource, __LINE__, "D3DERR_INVALIDCALL", "the device refused the texture " + m_name);
        return false;
    }
    if (!fullSize && g_lowtex != 0) texture->SetLod(1);
    m_width = static_cast<int32_t>(image.width);
    m_height = static_cast<int32_t>(image.height);
    m_owned = std::move(texture);
    m_texture = m_owned.get();
    return true;
}

bool CPTexture::LoadBuiltIn(const std::string& name)
{
    m_name = name;
    platform::gfx::Device* device = CurrentDevice();
    if (!device) return false;
    auto texture = device->CreateTexture(1, 1, 1, Format::A8R8G8B8, platform::gfx::TextureUsage::Normal,
                                         platform::gfx::Pool::Managed);
    const uint32_t white = 0xFFFFFFFFu;
    if (!texture || !texture->Update(0, nullptr, &white, 4)) return false;
    m_width = m_height = 1;
    m_owned = std::move(texture);
    m_texture = m_owned.get();
    return true;
}

void CPTexture::ShowExternal(platform::gfx::Texture* texture, const std::string& name)
{
    m_owned.reset();
    m_texture = texture;
    m_name = name;
    m_width = texture ? static_cast<int32_t>(texture->Width()) : 0;
    m_height = texture ? static_cast<int32_t>(texture->Height()) : 0;
}
