#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Render/PMaterialManager.h"
#include "Render/PRender.h"
#include "core/PKernel.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/Texture.h"
#include "support/TempDir.h"
#include "support/WindowTest.h"
#include "support/ColourAssertions.h"

namespace restest {

// A started renderer (with its device on a small window) and a material manager, in a fresh
// working folder whose data/effects holds the sample effects. The texture options start off.
class ResourceTest : public testsupport::WindowTest {
protected:
    void SetUp() override;
    void TearDown() override;

    platform::gfx::Device& Dev() { return *m_render->GetDevice(); }
    CPRender& Render() { return *m_render; }
    CPMaterialManager& Materials() { return *m_materials; }
    CPTextureCache& Textures() { return *m_materials->GetTextureCache(); }
    CPEffectCache& Effects() { return *m_materials->GetEffectCache(); }

    // Writes a file below the working folder ('/' between names), creating its folders.
    static void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
    static void WriteText(const std::string& path, const std::string& text);
    static void RemoveFile(const std::string& path);

    // Draws the texture over a width × height render target that keeps alpha, texel for pixel
    // (point sampling, the texture alone), and reads the target back row by row from the top.
    std::vector<uint32_t> DrawTexture(const platform::gfx::Texture* texture, int32_t width, int32_t height);

private:
    testsupport::TempDir m_folder;
    std::filesystem::path m_previous;
    std::unique_ptr<CPKernel> m_kernel;
    TPtr<CPRender> m_render;
    std::unique_ptr<CPMaterialManager> m_materials;
};

using testsupport::ColourNear;

}  // namespace restest
