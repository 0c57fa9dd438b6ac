#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gfx/Device.h"
#include "platform/gfx/Texture.h"
#include "started_renderer.h"
#include "support/ColourAssertions.h"

namespace restest {

// A started renderer whose folder's data/effects holds the sample effects.
class ResourceTest : public rendertest::StartedRendererTest {
protected:
    void PrepareFolder() override;

    platform::gfx::Device& Dev() { return *Render().GetDevice(); }
    CPTextureCache& Textures() { return *Materials().GetTextureCache(); }
    CPEffectCache& Effects() { return *Materials().GetEffectCache(); }

    // Writes a file below the working folder ('/' between names), creating its folders.
    static void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
    static void WriteText(const std::string& path, const std::string& text);
    static void RemoveFile(const std::string& path);

    // Draws the texture over a width × height render target that keeps alpha, texel for pixel
    // (point sampling, the texture alone), and reads the target back row by row from the top.
    std::vector<uint32_t> DrawTexture(const platform::gfx::Texture* texture, int32_t width, int32_t height);
};

using testsupport::ColourNear;

}  // namespace restest
