#include "resource_fixture.h"

#include <filesystem>
#include <fstream>

#include "platform/PathResolver.h"
#include "platform/gfx/Vertex.h"

using namespace platform::gfx;

namespace restest {

void ResourceTest::PrepareFolder()
{
    std::filesystem::create_directories(Folder() / "data" / "effects");
    std::filesystem::create_directories(Folder() / "data" / "textures");
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(VX_SAMPLE_SOURCE) / "data" / "effects")) {
        std::filesystem::copy_file(entry.path(), Folder() / "data" / "effects" / entry.path().filename());
    }
}

void ResourceTest::WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    const std::filesystem::path file(path);
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    platform::InvalidateListings();
}

void ResourceTest::WriteText(const std::string& path, const std::string& text)
{
    WriteFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

void ResourceTest::RemoveFile(const std::string& path)
{
    std::filesystem::remove(path);
    platform::InvalidateListings();
}

std::vector<uint32_t> ResourceTest::DrawTexture(const Texture* texture, int32_t width, int32_t height)
{
    auto target = Dev().CreateTexture(static_cast<uint32_t>(width), static_cast<uint32_t>(height), 1, Format::A8R8G8B8,
                                      TextureUsage::RenderTarget, Pool::Default);
    EXPECT_NE(target, nullptr);
    if (!target) return {};
    EXPECT_TRUE(Dev().SetRenderTarget(target.get()));
    Dev().Clear(ClearTarget | ClearZBuffer, 0, 1.0f);
    Dev().SetRenderState(RenderState::Lighting, false);
    Dev().SetRenderState(RenderState::CullMode, CullMode::None);
    Dev().SetTextureStageState(0, TextureStageState::ColorOp, TextureOp::SelectArg1);
    Dev().SetTextureStageState(0, TextureStageState::ColorArg1, TextureArg::Texture);
    Dev().SetTextureStageState(0, TextureStageState::AlphaOp, TextureOp::SelectArg1);
    Dev().SetTextureStageState(0, TextureStageState::AlphaArg1, TextureArg::Texture);
    Dev().SetTexture(0, texture);
    const float right = static_cast<float>(width) - 0.5f;
    const float bottom = static_cast<float>(height) - 0.5f;
    const ScreenVertex quad[4] = {
        {right, -0.5f, 0.5f, 1.0f, 0xFFFFFFFFu, 1.0f, 0.0f},
        {right, bottom, 0.5f, 1.0f, 0xFFFFFFFFu, 1.0f, 1.0f},
        {-0.5f, -0.5f, 0.5f, 1.0f, 0xFFFFFFFFu, 0.0f, 0.0f},
        {-0.5f, bottom, 0.5f, 1.0f, 0xFFFFFFFFu, 0.0f, 1.0f},
    };
    EXPECT_TRUE(Dev().DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, quad));
    std::vector<uint32_t> pixels(static_cast<size_t>(width * height));
    EXPECT_TRUE(Dev().ReadPixels({0, 0, width, height}, pixels.data()));
    Dev().SetTexture(0, nullptr);
    EXPECT_TRUE(Dev().SetRenderTarget(nullptr));
    return pixels;
}

}  // namespace restest
