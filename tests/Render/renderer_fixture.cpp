#include "renderer_fixture.h"

#include <fstream>

#include <filesystem>

#include "core/PGlobalTimer.h"
#include "platform/PathResolver.h"
#include "texture_files.h"

namespace rendertest {

namespace {

constexpr char kVertexColourEffect[] = R"(
technique Plain {
    pass {
        Lighting = false;
        CullMode = None;
        ColorOp[0] = SelectArg2;
        ColorArg2[0] = Diffuse;
    }
}
)";

constexpr char kLitEffect[] = R"(
technique Lit {
    pass {
        Lighting = true;
        CullMode = None;
        ColorOp[0] = SelectArg2;
        ColorArg2[0] = Diffuse;
    }
}
)";

}  // namespace

void RendererTest::PrepareFolder() {
    WriteEffect(kVertexColour, kVertexColourEffect);
    WriteEffect(kLit, kLitEffect);
}

CapturedFrame RendererTest::Frame(const std::function<void()>& handOver) {
    if (handOver) handOver();
    ++g_frameCounter;
    Render().CaptureNextFrame();
    Render().Update();
    return Render().GetCapturedFrame();
}

CapturedFrame RendererTest::Drawn(const std::function<void()>& handOver) {
    Frame(handOver);
    return Frame(handOver);
}

TPtr<CPMaterial> RendererTest::Material(int32_t layer, const std::string& effect) {
    return GetMaterialManager()->GetMaterial(layer, effect, {});
}

TPtr<CPBaseCamera> RendererTest::PixelCamera() {
    TPtr<CPBaseCamera> camera(new CPBaseCamera);
    camera->SetView(MatrixOrthoOffCenterLH(0.0f, kWidth, kHeight, 0.0f, 0.0f, 1.0f));
    return camera;
}

TPtr<CPRenderObject> RendererTest::Quad(const TPtr<CPMaterial>& material, float left, float top, float right,
                                        float bottom, uint32_t colour, float z) {
    auto corner = [&](float x, float y) {
        SPVertex vertex{};
        vertex.position = {x, y, z};
        vertex.normal = {0.0f, 0.0f, -1.0f};
        vertex.diffuse = colour;
        return vertex;
    };
    TPtr<CPRenderObject> quad(new CPRenderObject(nullptr));
    quad->SetGeometry({corner(left, top), corner(right, top), corner(right, bottom), corner(left, bottom)},
                      {0, 1, 2, 0, 2, 3});
    quad->SetMaterial(material);
    return quad;
}

void RendererTest::WriteTexture(const std::string& name, uint32_t colour) {
    const std::vector<uint8_t> file = restest::MakeTga(std::vector<uint32_t>(16, colour), 4, 4, 32, true);
    std::filesystem::create_directories("data/textures");
    std::ofstream("data/textures/" + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    platform::InvalidateListings();
}

void RendererTest::WriteEffect(const std::string& name, const std::string& text) {
    std::filesystem::create_directories("data/effects");
    std::ofstream("data/effects/" + name, std::ios::binary) << text;
    platform::InvalidateListings();
}

}  // namespace rendertest
