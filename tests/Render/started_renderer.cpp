#include "started_renderer.h"

#include "core/PGlobalTimer.h"
#include "core/PPack.h"
#include "core/SettingsVariables.h"
#include "platform/PathResolver.h"

namespace rendertest {

namespace {

void ResetRenderSettings(int32_t width, int32_t height)
{
    g_screenWidth = width;
    g_screenHeight = height;
    g_statistic = 0;
    g_frameCounter = 0;
    g_dxt5 = 0;
    g_lowtex = 0;
}

}  // namespace

void StartedRendererTest::SetUp()
{
    WindowTest::SetUp();
    if (HasFatalFailure()) return;
    ResetRenderSettings(kWidth, kHeight);
    m_previous = std::filesystem::current_path();
    std::filesystem::current_path(m_folder.Path());
    PrepareFolder();
    platform::InvalidateListings();
    MountPacks();

    m_kernel = std::make_unique<CPKernel>();
    m_kernel->SetWindow(&GetWindow());
    m_render = new CPRender;
    ASSERT_TRUE(m_render->Start());
    m_materials = std::make_unique<CPMaterialManager>();
}

void StartedRendererTest::TearDown()
{
    CollectGarbage();
    m_materials.reset();
    if (m_render) m_render->Stop();
    m_render = nullptr;
    CollectGarbage();
    m_kernel.reset();
    ResetRenderSettings(640, 480);
    if (!m_previous.empty()) std::filesystem::current_path(m_previous);
    MountPacks();
    platform::InvalidateListings();
    WindowTest::TearDown();
}

}  // namespace rendertest
