// The texture file readers refuse damaged files cleanly.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Render/Dxt5Encoder.h"
#include "Render/ImageDecoders.h"
#include "platform/gfx/Dxt.h"
#include "texture_files.h"

namespace restest {
namespace {

std::vector<uint32_t> Gradient(uint32_t count)
{
    std::vector<uint32_t> pixels;
    for (uint32_t i = 0; i < count; ++i) pixels.push_back(0xFF000000u | i * 0x0F0B07u);
    return pixels;
}

std::vector<uint8_t> Cut(std::vector<uint8_t> bytes, size_t keep)
{
    bytes.resize(keep);
    return bytes;
}

TEST(TextureDecoderTest, DamagedFilesAreRefused)
{
    const std::vector<uint8_t> tga = MakeTga(Gradient(16), 4, 4, 24, false);
    const std::vector<uint8_t> rle = MakeTga(Gradient(16), 4, 4, 32, true, true);
    const std::vector<uint8_t> dds = MakeDxt5Dds(std::vector<uint8_t>(16, 0), 4, 4);
    const std::vector<uint8_t> png = MakePng(Gradient(16), 4, 4);
    const std::vector<uint8_t> jpeg = MakeJpeg(Gradient(64), 8, 8);
    std::vector<uint8_t> hugeTga = Cut(tga, 18);
    hugeTga[12] = hugeTga[13] = hugeTga[14] = hugeTga[15] = 0xFF;  // 65,535 × 65,535
    std::vector<uint8_t> bigTga = tga;
    bigTga[12] = bigTga[14] = 0;
    bigTga[13] = bigTga[15] = 0x10;  // 4,096 × 4,096 with 48 bytes of pixels
    std::vector<uint8_t> badIndex = MakePalettedTga(std::vector<uint8_t>(16, 9), {0xFF000000u, 0xFFFFFFFFu}, 4, 4);
    std::vector<uint8_t> cube = dds;
    cube[4 + 108 + 1] = 0x02;  // caps2: cube map

    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"empty", {}},
        {"TGA header only", Cut(tga, 18)},
        {"TGA cut inside the pixels", Cut(tga, tga.size() - 1)},
        {"TGA RLE cut inside a packet", Cut(rle, rle.size() - 2)},
        {"TGA larger than any texture", hugeTga},
        {"TGA larger than its data", bigTga},
        {"TGA colour index past its map", badIndex},
        {"DDS cut inside the blocks", Cut(dds, dds.size() - 1)},
        {"DDS header cut", Cut(dds, 40)},
        {"DDS cube map", cube},
        {"PNG cut", Cut(png, png.size() / 2)},
        {"JPEG cut", Cut(jpeg, 40)},
        {"text", {'h', 'e', 'l', 'l', 'o'}},
    };
    for (const auto& c : cases) {
        SPImage image;
        std::string error;
        EXPECT_FALSE(DecodeImage(c.bytes.data(), c.bytes.size(), image, error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
}

TEST(TextureDecoderTest, TheReaderIsChosenByContentNotByName)
{
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        platform::gfx::Format format;
    } cases[] = {
        {"PNG", MakePng(Gradient(16), 4, 4), platform::gfx::Format::A8R8G8B8},
        {"JPEG", MakeJpeg(Gradient(16), 4, 4), platform::gfx::Format::X8R8G8B8},
        {"TGA", MakeTga(Gradient(16), 4, 4, 24, false), platform::gfx::Format::X8R8G8B8},
        {"DDS", MakeDxt5Dds(std::vector<uint8_t>(16, 0), 4, 4), platform::gfx::Format::DXT5},
    };
    for (const auto& c : cases) {
        SPImage image;
        std::string error;
        ASSERT_TRUE(DecodeImage(c.bytes.data(), c.bytes.size(), image, error)) << c.what << ": " << error;
        EXPECT_EQ(image.format, c.format) << c.what;
        EXPECT_EQ(image.width, 4u) << c.what;
        EXPECT_EQ(image.levels.size(), 1u) << c.what;
    }
}

TEST(TextureDecoderTest, MipChainAveragesAndEndsAtOnePixel)
{
    SPImage image;
    image.width = 4;
    image.height = 2;
    // Left half black, right half white, alpha 0x40 and 0xC0.
    std::vector<uint32_t> pixels = {0x40000000u, 0x40000000u, 0xC0FFFFFFu, 0xC0FFFFFFu,
                                    0x40000000u, 0x40000000u, 0xC0FFFFFFu, 0xC0FFFFFFu};
    image.levels = {std::vector<uint8_t>(reinterpret_cast<uint8_t*>(pixels.data()),
                                         reinterpret_cast<uint8_t*>(pixels.data()) + 32)};
    BuildMipChain(image);
    ASSERT_EQ(image.levels.size(), 3u);
    EXPECT_EQ(image.levels[1].size(), 8u);  // 2 × 1
    EXPECT_EQ(image.levels[2].size(), 4u);  // 1 × 1
    uint32_t last;
    std::memcpy(&last, image.levels[2].data(), 4);
    EXPECT_EQ(last, 0x80808080u);
}

TEST(TextureDecoderTest, Dxt5EncoderRoundTripsTwoColoursPerBlockExactly)
{
    // Each block holds two colours and two alphas, which the end points reproduce exactly.
    std::vector<uint32_t> pixels(8 * 4);
    for (uint32_t i = 0; i < pixels.size(); ++i) {
        const uint32_t x = i % 8;
        pixels[i] = x < 4 ? (i % 3 ? 0xFFFF0000u : 0x000000FFu) : (i % 2 ? 0x80FFFFFFu : 0x80000000u);
    }
    const std::vector<uint8_t> blocks = CompressDxt5(reinterpret_cast<const uint8_t*>(pixels.data()), 8, 4);
    ASSERT_EQ(blocks.size(), 32u);
    std::vector<uint32_t> decoded(pixels.size());
    platform::gfx::DecodeDxt(platform::gfx::Format::DXT5, blocks.data(), 32, 8, 4,
                             reinterpret_cast<uint8_t*>(decoded.data()), 32);
    EXPECT_EQ(decoded, pixels);
}

}  // namespace
}  // namespace restest
