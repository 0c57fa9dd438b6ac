// The video texture's sides and the shrinking of pictures larger than it.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "Render/VideoPicture.h"

namespace {

struct SideCase {
    uint32_t side;
    uint32_t largest;
    uint32_t expected;
};

class VideoTextureSideTest : public ::testing::TestWithParam<SideCase> {};

TEST_P(VideoTextureSideTest, RoundsUpPastTheSideWithinTheLargest) {
    EXPECT_EQ(VideoTextureSide(GetParam().side, GetParam().largest), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Sides, VideoTextureSideTest,
                         ::testing::Values(SideCase{0, 8192, 2}, SideCase{1, 8192, 2}, SideCase{2, 8192, 4},
                                           SideCase{240, 8192, 256}, SideCase{256, 8192, 512},
                                           SideCase{320, 8192, 512}, SideCase{640, 8192, 1024},
                                           SideCase{5000, 8192, 8192}, SideCase{9000, 8192, 8192},
                                           SideCase{1000, 1024, 1024}, SideCase{1024, 1024, 1024}));

struct ShrinkCase {
    uint32_t pictureWidth, pictureHeight;
    uint32_t width, height;
    uint32_t shownWidth, shownHeight;  // of the picture inside width × height
};

class ShrinkPictureTest : public ::testing::TestWithParam<ShrinkCase> {};

TEST_P(ShrinkPictureTest, FitsThePictureAtTheTopLeftAndBlacksTheRest) {
    const ShrinkCase& c = GetParam();
    for (uint32_t bytes : {2u, 4u}) {
        // A picture two bytes wider than its rows, so the pitch counts.
        const uint32_t pitch = c.pictureWidth * bytes + 2;
        std::vector<uint8_t> picture(static_cast<size_t>(pitch) * c.pictureHeight, 0x7F);
        std::vector<uint8_t> out;
        ShrinkPicture({picture.data(), c.pictureWidth, c.pictureHeight, pitch}, bytes, c.width, c.height, out);
        ASSERT_EQ(out.size(), static_cast<size_t>(c.width) * c.height * bytes);
        for (uint32_t y = 0; y < c.height; ++y) {
            for (uint32_t x = 0; x < c.width; ++x) {
                const bool inside = x < c.shownWidth && y < c.shownHeight;
                ASSERT_EQ(out[(static_cast<size_t>(y) * c.width + x) * bytes], inside ? 0x7F : 0)
                    << x << ", " << y << " of " << bytes << "-byte pixels";
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Pictures, ShrinkPictureTest,
                         ::testing::Values(ShrinkCase{300, 200, 128, 64, 96, 64}, ShrinkCase{600, 100, 512, 256, 512, 85},
                                           ShrinkCase{100, 300, 128, 256, 85, 255},
                                           ShrinkCase{1000, 1, 16, 16, 16, 1}, ShrinkCase{1, 1000, 16, 16, 1, 16}));

TEST(ShrinkPictureTest, KeepsThePicturesOrderOfPixels) {
    // Four columns 0, 1, 2, 3 shrunk to two keep the left and right halves apart.
    const uint32_t row[4] = {0x10, 0x11, 0x20, 0x21};
    std::vector<uint8_t> out;
    ShrinkPicture({reinterpret_cast<const uint8_t*>(row), 4, 1, 16}, 4, 2, 1, out);
    ASSERT_EQ(out.size(), 8u);
    EXPECT_EQ(out[0], 0x10);
    EXPECT_EQ(out[4], 0x20);
}

}  // namespace
