// Texture files reach the screen texel for texel: in the right order and colour.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Render/PTextureCache.h"
#include "core/SettingsVariables.h"
#include "resource_fixture.h"
#include "texture_files.h"

namespace restest {
namespace {

using platform::gfx::Format;

// Sixteen different opaque colours, none of which survives a flip or a transposition.
std::vector<uint32_t> Picture(uint32_t alpha = 0xFF)
{
    std::vector<uint32_t> pixels;
    for (uint32_t i = 0; i < 16; ++i) pixels.push_back(alpha << 24 | (i * 16 + 8) << 16 | (255 - i * 12) << 8 | (i * i));
    return pixels;
}

class TexturePixelsTest : public ResourceTest {
protected:
    // The texture loaded under this name, drawn over a width × height target.
    std::vector<uint32_t> Drawn(const std::string& name, int32_t width = 4, int32_t height = 4, bool fullSize = false)
    {
        TPtr<CPTexture> texture = Textures().GetTexture(name, fullSize);
        EXPECT_EQ(texture->GetName(), name) << "fell back to the error texture";
        EXPECT_NE(texture->GetTexture(), nullptr);
        return DrawTexture(texture->GetTexture(), width, height);
    }
};

struct TgaCase {
    const char* what;
    uint8_t bits;
    bool topDown;
    bool rle;
};

TEST_F(TexturePixelsTest, TgaRowsArriveFromTheTopWhateverTheOriginBit)
{
    const TgaCase cases[] = {
        {"24-bit, bottom-up", 24, false, false}, {"24-bit, top-down", 24, true, false},
        {"32-bit, bottom-up", 32, false, false}, {"32-bit, top-down", 32, true, false},
        {"24-bit RLE, bottom-up", 24, false, true}, {"32-bit RLE, top-down", 32, true, true},
    };
    for (const TgaCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint32_t> picture = Picture(c.bits == 32 ? 0x80 : 0xFF);
        picture[5] = picture[6] = picture[7];  // a run for the RLE files
        const std::string name = std::string("t") + std::to_string(&c - cases) + ".tga";
        WriteFile("data/textures/" + name, MakeTga(picture, 4, 4, c.bits, c.topDown, c.rle));
        EXPECT_EQ(Drawn(name), picture);
    }
}

TEST_F(TexturePixelsTest, PalettedTgaLooksUpItsColours)
{
    const std::vector<uint32_t> palette = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu};
    std::vector<uint8_t> indices;
    std::vector<uint32_t> expected;
    for (uint32_t i = 0; i < 16; ++i) {
        indices.push_back(static_cast<uint8_t>((i * 7) % 4));
        expected.push_back(palette[indices.back()]);
    }
    WriteFile("data/textures/mapped.tga", MakePalettedTga(indices, palette, 4, 4));
    EXPECT_EQ(Drawn("mapped.tga"), expected);
}

TEST_F(TexturePixelsTest, PngKeepsItsAlpha)
{
    std::vector<uint32_t> picture = Picture();
    for (uint32_t i = 0; i < 16; ++i) picture[i] = (picture[i] & 0x00FFFFFFu) | (i * 17) << 24;
    WriteFile("data/textures/alpha.png", MakePng(picture, 4, 4));
    EXPECT_EQ(Drawn("alpha.png"), picture);
}

TEST_F(TexturePixelsTest, JpegQuadrantsKeepTheirPlaceAndColour)
{
    // 16 × 16 in four solid 8 × 8 quadrants: one JPEG block each, so they stay nearly exact.
    const uint32_t quadrants[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u};
    std::vector<uint32_t> picture(256);
    for (uint32_t y = 0; y < 16; ++y) {
        for (uint32_t x = 0; x < 16; ++x) picture[y * 16 + x] = quadrants[(y / 8) * 2 + x / 8];
    }
    WriteFile("data/textures/quads.jpg", MakeJpeg(picture, 16, 16));
    const std::vector<uint32_t> drawn = Drawn("quads.jpg", 16, 16);
    ASSERT_EQ(drawn.size(), 256u);
    for (uint32_t q = 0; q < 4; ++q) {
        const uint32_t x = (q % 2) * 8 + 4;
        const uint32_t y = (q / 2) * 8 + 4;
        EXPECT_TRUE(ColourNear(quadrants[q], drawn[y * 16 + x], 8)) << "quadrant " << q;
    }
}

TEST_F(TexturePixelsTest, Dxt5BlockOfADdsFileDecodesInPlace)
{
    // Alpha end points 255 and 0, colour end points red and blue (5:6:5); texel i takes alpha
    // index i % 2 and colour index (i / 2) % 4, row by row from the top-left.
    std::vector<uint8_t> block = {255, 0};
    uint64_t alphaBits = 0;
    uint32_t colourBits = 0;
    for (uint32_t i = 0; i < 16; ++i) {
        alphaBits |= static_cast<uint64_t>(i % 2) << (3 * i);
        colourBits |= ((i / 2) % 4) << (2 * i);
    }
    for (int i = 0; i < 6; ++i) block.push_back(static_cast<uint8_t>(alphaBits >> (8 * i)));
    block.insert(block.end(), {0x00, 0xF8, 0x1F, 0x00});
    for (int i = 0; i < 4; ++i) block.push_back(static_cast<uint8_t>(colourBits >> (8 * i)));
    WriteFile("data/textures/block.dds", MakeDxt5Dds(block, 4, 4));

    const uint32_t colours[4] = {0xFF0000u, 0x0000FFu, 0xAA0055u, 0x5500AAu};
    const std::vector<uint32_t> drawn = Drawn("block.dds");
    ASSERT_EQ(drawn.size(), 16u);
    for (uint32_t i = 0; i < 16; ++i) {
        const uint32_t expected = (i % 2 == 0 ? 0xFF000000u : 0u) | colours[(i / 2) % 4];
        EXPECT_TRUE(ColourNear(expected, drawn[i], 1)) << "texel " << i;
    }
    EXPECT_EQ(Textures().GetTexture("block.dds", false)->GetTexture()->GetFormat(), Format::DXT5);
}

TEST_F(TexturePixelsTest, Dxt5OptionCompressesButKeepsTheColours)
{
    // Solid 4 × 4 blocks compress without loss.
    std::vector<uint32_t> picture(64);
    for (uint32_t y = 0; y < 8; ++y) {
        for (uint32_t x = 0; x < 8; ++x) picture[y * 8 + x] = (y < 4) == (x < 4) ? 0xFFFF0000u : 0x800000FFu;
    }
    WriteFile("data/textures/checker.png", MakePng(picture, 8, 8));
    g_dxt5 = 1;
    TPtr<CPTexture> texture = Textures().GetTexture("checker.png", false);
    ASSERT_NE(texture->GetTexture(), nullptr);
    EXPECT_EQ(texture->GetTexture()->GetFormat(), Format::DXT5);
    EXPECT_EQ(texture->GetTexture()->LevelCount(), 4u);
    EXPECT_EQ(DrawTexture(texture->GetTexture(), 8, 8), picture);
}

// A DXT5 block of one colour (5:6:5), opaque.
std::vector<uint8_t> SolidDxt5Block(uint16_t colour)
{
    std::vector<uint8_t> block = {255, 255, 0, 0, 0, 0, 0, 0};
    block.insert(block.end(), {static_cast<uint8_t>(colour), static_cast<uint8_t>(colour >> 8),
                               static_cast<uint8_t>(colour), static_cast<uint8_t>(colour >> 8), 0, 0, 0, 0});
    return block;
}

// The stored levels of DDS files are drawn as stored, also where the picture has to be decoded.
TEST_F(TexturePixelsTest, DdsFilesKeepTheirOwnMipLevels)
{
    std::vector<uint32_t> bgra(16, 0xFFFF0000u);      // 4 × 4 red
    bgra.insert(bgra.end(), 4, 0xFF00FF00u);          // 2 × 2 green
    bgra.push_back(0xFF0000FFu);                      // 1 × 1 blue
    WriteFile("data/textures/levels32.dds", MakeBgraDds(bgra, 4, 4, 3));
    std::vector<uint8_t> blocks;
    for (int i = 0; i < 4; ++i) {                     // 6 × 6 red: 2 × 2 blocks
        const auto red = SolidDxt5Block(0xF800);
        blocks.insert(blocks.end(), red.begin(), red.end());
    }
    const auto green = SolidDxt5Block(0x07E0);        // 3 × 3 green: one block
    blocks.insert(blocks.end(), green.begin(), green.end());
    WriteFile("data/textures/odd.dds", MakeDxt5Dds(blocks, 6, 6, 2));

    g_lowtex = 1;
    for (const char* name : {"levels32.dds", "odd.dds"}) {
        TPtr<CPTexture> texture = Textures().GetTexture(name, false);
        ASSERT_NE(texture->GetTexture(), nullptr) << name;
        EXPECT_EQ(texture->GetTexture()->GetLod(), 1u) << name;
        EXPECT_TRUE(ColourNear(0xFF00FF00u, DrawTexture(texture->GetTexture(), 2, 2)[0], 1)) << name;
    }
    EXPECT_EQ(Textures().GetTexture("levels32.dds", false)->GetTexture()->LevelCount(), 3u);
}

TEST_F(TexturePixelsTest, LowTexturesDrawTheHalfSizeLevel)
{
    std::vector<uint32_t> picture(16, 0xFF00FF00u);
    WriteFile("data/textures/green.tga", MakeTga(picture, 4, 4, 32, true));
    g_lowtex = 1;
    TPtr<CPTexture> low = Textures().GetTexture("green.tga", false);
    EXPECT_EQ(low->GetTexture()->GetLod(), 1u);
    EXPECT_EQ(low->GetWidth(), 4);
    EXPECT_EQ(DrawTexture(low->GetTexture(), 4, 4)[0], 0xFF00FF00u);
}

}  // namespace
}  // namespace restest
