#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "Render/PMaterialManager.h"
#include "Render/PRender.h"
#include "core/PKernel.h"
#include "support/TempDir.h"
#include "support/WindowTest.h"

namespace rendertest {

// A started renderer on the test window (the configured screen size is the window's, the
// statistics and texture options are off) with a material manager, in a fresh working folder.
// PrepareFolder writes what the folder needs before the packs are mounted and the renderer
// starts.
class StartedRendererTest : public testsupport::WindowTest {
protected:
    void SetUp() override;
    void TearDown() override;
    virtual void PrepareFolder() {}

    CPRender& Render() { return *m_render; }
    CPMaterialManager& Materials() { return *m_materials; }
    const std::filesystem::path& Folder() const { return m_folder.Path(); }

private:
    testsupport::TempDir m_folder;
    std::filesystem::path m_previous;
    std::unique_ptr<CPKernel> m_kernel;
    std::unique_ptr<CPMaterialManager> m_materials;
    TPtr<CPRender> m_render;
};

}  // namespace rendertest
