#include "renderer_fixture.h"

#include <fstream>

#include "core/PGlobalTimer.h"
#include "core/PPack.h"
#include "core/SettingsVariables.h"
#include "platform/PathResolver.h"

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

void RendererTest::SetUp() {
    WindowTest::SetUp();
    if (HasFatalFailure()) return;
    g_screenWidth = kWidth;
    g_screenHeight = kHeight;
    g_statistic = 0;
    g_frameCounter = 0;
    m_previous = std::filesystem::current_path();
    std::filesystem::current_path(m_folder.Path());
    WriteEffect(kVertexColour, kVertexColourEffect);
    WriteEffect(kLit, kLitEffect);
    MountPacks();

    m_kernel = std::make_unique<CPKernel>();
    m_kernel->SetWindow(&GetWindow());
    m_materials = std::make_unique<CPMaterialManager>();
    m_render = new CPRender;
    ASSERT_TRUE(m_render->Start());
}

void RendererTest::TearDown() {
    if (m_render) m_render->Stop();
    m_render = nullptr;
    CollectGarbage();
    m_materials.reset();
    m_kernel.reset();
    g_screenWidth = 640;
    g_screenHeight = 480;
    g_statistic = 0;
    g_frameCounter = 0;
    if (!m_previous.empty()) std::filesystem::current_path(m_previous);
    MountPacks();
    platform::InvalidateListings();
    WindowTest::TearDown();
}

CapturedFrame RendererTest::Frame(const std::function<void()>& handOver) {
    if (handOver) handOver();
    ++g_frameCounter;
    m_render->CaptureNextFrame();
    m_render->Update();
    return m_render->GetCapturedFrame();
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

void RendererTest::WriteEffect(const std::string& name, const std::string& text) {
    std::filesystem::create_directories("data/effects");
    std::ofstream("data/effects/" + name, std::ios::binary) << text;
    platform::InvalidateListings();
}

}  // namespace rendertest
