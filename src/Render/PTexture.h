#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "core/PMMObject.h"

namespace platform::gfx {
class Texture;
}

// One texture of Data\Textures on the device, shared by name through the texture cache
// (PTextureCache.h). Files are PNG, JPEG, TGA or DDS, recognised by their content.
class CPTexture : public IPMMObject {
public:
    CPTexture();
    ~CPTexture() override;

    // Reads Data\Textures\<name> (from disk or a data pack); when there is no such file, the
    // same name with its last three characters replaced by "jpg" (appended to names shorter
    // than three). Textures get a full mip chain; unless fullSize is set, the dxt5 setting
    // compresses them to DXT5 and the lowtex setting makes drawing start at the half-size level.
    // False when the file cannot be read or decoded or the device refuses it.
    bool Load(const std::string& name, bool fullSize);
    // Makes this a built-in 1 × 1 opaque white texture under the given name: what stands in when
    // even the error texture cannot be loaded. False without a device.
    bool LoadBuiltIn(const std::string& name);
    // Shows a texture owned elsewhere (the video player's frame texture) under a name.
    void ShowExternal(platform::gfx::Texture* texture, const std::string& name);

    // Null until loaded.
    platform::gfx::Texture* GetTexture() const { return m_texture; }
    const std::string& GetName() const { return m_name; }
    // Of the top level.
    int32_t GetWidth() const { return m_width; }
    int32_t GetHeight() const { return m_height; }

    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPTexture - " + m_name; }

private:
    bool Create(const uint8_t* data, size_t size, bool fullSize);

    std::unique_ptr<platform::gfx::Texture> m_owned;
    platform::gfx::Texture* m_texture = nullptr;
    std::string m_name;
    int32_t m_width = 0;
    int32_t m_height = 0;
};
