// Materials: one per layer, effect and textures; full-size textures on the interface layers;
// the draw list and the manager's list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Render/PIVBlock.h"
#include "Render/PMaterialManager.h"
#include "core/SettingsVariables.h"
#include "resource_fixture.h"
#include "texture_files.h"

namespace restest {
namespace {

using platform::gfx::Format;

class MaterialTest : public ResourceTest {
protected:
    void SetUp() override
    {
        ResourceTest::SetUp();
        if (HasFatalFailure()) return;
        for (const char* name : {"a.tga", "b.tga"}) {
            WriteFile(std::string("data/textures/") + name, MakeTga(std::vector<uint32_t>(16, 0xFF336699u), 4, 4, 32, true));
        }
    }
};

TEST_F(MaterialTest, EqualRequestsShareOneMaterial)
{
    TPtr<CPMaterial> first = Materials().GetMaterial(20, "holey.fx", {"a.tga", "b.tga"});
    EXPECT_EQ(Materials().GetMaterial(20, "holey.fx", {"a.tga", "b.tga"}).Get(), first.Get());
    EXPECT_NE(Materials().GetMaterial(20, "holey.fx", {"b.tga", "a.tga"}).Get(), first.Get()) << "texture order";
    EXPECT_NE(Materials().GetMaterial(21, "holey.fx", {"a.tga", "b.tga"}).Get(), first.Get()) << "layer";
    EXPECT_NE(Materials().GetMaterial(20, "shad.fx", {"a.tga", "b.tga"}).Get(), first.Get()) << "effect";
    EXPECT_EQ(first->GetLayer(), 20);
    EXPECT_EQ(first->GetEffect()->GetName(), "holey.fx");
    EXPECT_EQ(first->GetTextureBlock()->GetCount(), 2);
    EXPECT_EQ(first->GetClassName(), "CPMaterial - holey.fx");
}

TEST_F(MaterialTest, InterfaceLayersLoadTheirTexturesFullSize)
{
    g_dxt5 = 1;
    g_lowtex = 1;
    TPtr<CPMaterial> scene = Materials().GetMaterial(197, "_default.fx", {"a.tga"});
    TPtr<CPMaterial> screen = Materials().GetMaterial(198, "_default.fx", {"b.tga"});
    EXPECT_NE(scene.Get(), screen.Get());
    const platform::gfx::Texture* compressed = scene->GetTextureBlock()->GetTexture(0)->GetTexture();
    const platform::gfx::Texture* full = screen->GetTextureBlock()->GetTexture(0)->GetTexture();
    EXPECT_EQ(compressed->GetFormat(), Format::DXT5);
    EXPECT_EQ(compressed->GetLod(), 1u);
    EXPECT_EQ(full->GetFormat(), Format::A8R8G8B8);
    EXPECT_EQ(full->GetLod(), 0u);
}

TEST_F(MaterialTest, TheDrawListFillsUntilClearedAndTheFirstBatchRegisters)
{
    TPtr<CPMaterial> material = Materials().GetMaterial(20, "_default.fx", {});
    EXPECT_FALSE(material->IsRegistered());
    TPtr<CPIVBlock> batch(new CPIVBlock(nullptr));
    material->Enqueue(batch.Get());
    EXPECT_TRUE(material->IsRegistered());
    material->Enqueue(batch.Get());
    EXPECT_EQ(material->GetDrawList().size(), 2u);
    Materials().ClearAllQueues();
    EXPECT_TRUE(material->GetDrawList().empty());
    EXPECT_TRUE(material->IsRegistered()) << "the queue, not the clearing, drops the registration";
}

TEST_F(MaterialTest, DestroyedMaterialsLeaveTheManager)
{
    const int32_t before = Materials().CountMaterials();
    Materials().GetMaterial(20, "_default.fx", {"a.tga"});
    EXPECT_EQ(Materials().CountMaterials(), before + 1);
    CollectGarbage();
    EXPECT_EQ(Materials().CountMaterials(), before);
    // A new request makes a new material, with its effect and block loaded again.
    TPtr<CPMaterial> again = Materials().GetMaterial(20, "_default.fx", {"a.tga"});
    EXPECT_EQ(again->GetTextureBlock()->GetTexture(0)->GetName(), "a.tga");
}

}  // namespace
}  // namespace restest
