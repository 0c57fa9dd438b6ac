// The texture cache: names, fallbacks, sharing, and what it forgets.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "Render/PTextureCache.h"
#include "core/PPackBuilder.h"
#include "core/PPack.h"
#include "core/Result.h"
#include "core/SettingsVariables.h"
#include "resource_fixture.h"
#include "texture_files.h"

namespace restest {
namespace {

using platform::gfx::Format;

std::vector<uint8_t> Solid(uint32_t colour) { return MakeTga(std::vector<uint32_t>(16, colour), 4, 4, 32, true); }


class TextureCacheTest : public ResourceTest {
protected:
    uint32_t Colour(const TPtr<CPTexture>& texture) { return DrawTexture(texture->GetTexture(), 4, 4)[0]; }
};

TEST_F(TextureCacheTest, OneTexturePerNameWhateverTheLaterSize)
{
    WriteFile("data/textures/wall.tga", Solid(0xFF102030u));
    g_dxt5 = 1;
    TPtr<CPTexture> first = Textures().GetTexture("wall.tga", true);
    TPtr<CPTexture> second = Textures().GetTexture("wall.tga", false);
    EXPECT_EQ(first.Get(), second.Get());
    EXPECT_EQ(second->GetTexture()->GetFormat(), Format::A8R8G8B8) << "the first request loaded it full size";
    EXPECT_EQ(first->GetClassName(), "CPTexture - wall.tga");
}

TEST_F(TextureCacheTest, MissingNameFindsTheJpgOfTheSameName)
{
    WriteFile("data/textures/rock.jpg", MakeJpeg(std::vector<uint32_t>(64, 0xFF0000FFu), 8, 8));
    WriteFile("data/textures/abjpg", MakeJpeg(std::vector<uint32_t>(64, 0xFFFF0000u), 8, 8));
    TPtr<CPTexture> rock = Textures().GetTexture("rock.tga", false);
    EXPECT_EQ(rock->GetName(), "rock.tga");
    EXPECT_TRUE(ColourNear(0xFF0000FFu, Colour(rock), 4));
    // Names shorter than three characters get "jpg" appended to the whole name.
    TPtr<CPTexture> ab = Textures().GetTexture("ab", false);
    EXPECT_EQ(ab->GetName(), "ab");
    EXPECT_TRUE(ColourNear(0xFFFF0000u, Colour(ab), 4));
}

TEST_F(TextureCacheTest, TexturesInsideADataPackAreFoundUnderTheirOwnName)
{
    CPPackBuilder builder("Data");
    ASSERT_TRUE(builder.AddFile("Textures/packed.tga", Solid(0xFF00FF00u)));
    ASSERT_TRUE(builder.AddFile("Textures/packed.jpg", MakeJpeg(std::vector<uint32_t>(64, 0xFFFF0000u), 8, 8)));
    std::vector<uint8_t> pack;
    ASSERT_TRUE(builder.Build(pack));
    WriteFile("data/game1.dat", pack);
    ASSERT_EQ(MountPacks(), S_OK);
    TPtr<CPTexture> packed = Textures().GetTexture("Packed.tga", false);
    EXPECT_EQ(packed->GetName(), "Packed.tga");
    EXPECT_EQ(Colour(packed), 0xFF00FF00u) << "the pack's tga, not its jpg";
}

TEST_F(TextureCacheTest, UnreadableTexturesGiveTheErrorTextureUnderTheirName)
{
    WriteFile("data/textures/error.tga", Solid(0xFFFF00FFu));
    WriteText("data/textures/garbage.png", "\x89PNG\r\n\x1a\nnot really");
    for (const std::string name : {"missing.tga", "garbage.png"}) {
        SCOPED_TRACE(name);
        TPtr<CPTexture> texture = Textures().GetTexture(name, false);
        EXPECT_EQ(texture->GetName(), "error.tga");
        EXPECT_EQ(Colour(texture), 0xFFFF00FFu);
        EXPECT_EQ(Textures().GetTexture(name, false).Get(), texture.Get()) << "later requests get it at once";
    }
}

TEST_F(TextureCacheTest, TheSampleErrorTextureIsAMagentaChecker)
{
    std::filesystem::copy_file(std::filesystem::path(VX_SAMPLE_SOURCE) / "data" / "textures" / "error.tga",
                               "data/textures/error.tga");
    TPtr<CPTexture> texture = Textures().GetTexture("missing.tga", false);
    ASSERT_EQ(texture->GetWidth(), 8);
    const std::vector<uint32_t> drawn = DrawTexture(texture->GetTexture(), 8, 8);
    EXPECT_EQ(drawn[0], 0xFFFF00FFu);
    EXPECT_EQ(drawn[2], 0xFF000000u);
    EXPECT_EQ(drawn[2 * 8], 0xFF000000u);
    EXPECT_EQ(drawn[2 * 8 + 2], 0xFFFF00FFu);
}

TEST_F(TextureCacheTest, WithoutErrorTgaABuiltInWhiteTextureStandsIn)
{
    TPtr<CPTexture> texture = Textures().GetTexture("missing.tga", false);
    ASSERT_NE(texture->GetTexture(), nullptr);
    EXPECT_EQ(texture->GetWidth(), 1);
    EXPECT_EQ(Colour(texture), 0xFFFFFFFFu);
}

TEST_F(TextureCacheTest, ADestroyedFallbackLeavesNoNameBehind)
{
    WriteFile("data/textures/error.tga", Solid(0xFFFF00FFu));
    const int32_t before = Textures().CountTextures();
    {
        TPtr<CPTexture> a = Textures().GetTexture("a.tga", false);
        TPtr<CPTexture> error = Textures().GetTexture("error.tga", false);
        EXPECT_NE(a.Get(), error.Get());
    }
    CollectGarbage();
    EXPECT_EQ(Textures().CountTextures(), before);
    // The name is loaded again, now that the file exists.
    WriteFile("data/textures/a.tga", Solid(0xFF00FF00u));
    TPtr<CPTexture> a = Textures().GetTexture("a.tga", false);
    EXPECT_EQ(a->GetName(), "a.tga");
    EXPECT_EQ(Colour(a), 0xFF00FF00u);
}

TEST_F(TextureCacheTest, VideoIsTheBuiltInTextureAndNeedsNoFile)
{
    TPtr<CPTexture> video = Textures().GetTexture("video", false);
    EXPECT_EQ(Textures().GetTexture("video", true).Get(), video.Get());
    EXPECT_EQ(video->GetTexture(), nullptr);
}

TEST_F(TextureCacheTest, BlocksAreSharedForTheSameTexturesInTheSameOrder)
{
    WriteFile("data/textures/a.tga", Solid(0xFF000001u));
    WriteFile("data/textures/b.tga", Solid(0xFF000002u));
    TPtr<CPTextureBlock> ab = Textures().GetTextureBlock({"a.tga", "b.tga"}, false);
    EXPECT_EQ(Textures().GetTextureBlock({"a.tga", "b.tga"}, false).Get(), ab.Get());
    TPtr<CPTextureBlock> ba = Textures().GetTextureBlock({"b.tga", "a.tga"}, false);
    EXPECT_NE(ba.Get(), ab.Get());
    ASSERT_EQ(ab->GetCount(), 2);
    EXPECT_EQ(ab->GetTexture(0), ba->GetTexture(1));
    TPtr<CPTextureBlock> empty = Textures().GetTextureBlock({}, false);
    EXPECT_EQ(empty->GetCount(), 0);
    EXPECT_EQ(Textures().GetTextureBlock({}, true).Get(), empty.Get());
}

TEST_F(TextureCacheTest, ADestroyedBlockLeavesTheCacheAndReleasesItsTextures)
{
    WriteFile("data/textures/a.tga", Solid(0xFF000001u));
    const int32_t textures = Textures().CountTextures();
    Textures().GetTextureBlock({"a.tga"}, false);
    EXPECT_EQ(Textures().CountBlocks(), 1);
    CollectGarbage();
    EXPECT_EQ(Textures().CountBlocks(), 0);
    CollectGarbage();
    EXPECT_EQ(Textures().CountTextures(), textures);
}

}  // namespace
}  // namespace restest
