// Screenshots: which frame VX_SCREENSHOT asks for, and the PNG file written for it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Render/ImageDecoders.h"
#include "Render/Screenshot.h"
#include "support/TempDir.h"

namespace {

struct RequestCase {
    const char* value;
    const char* path;
    int32_t frame;
};

class ScreenshotRequestTest : public ::testing::TestWithParam<RequestCase> {};

TEST_P(ScreenshotRequestTest, ReadsTheFileAndTheFrame) {
    const ScreenshotRequest request = ParseScreenshotRequest(GetParam().value);
    EXPECT_EQ(request.path, GetParam().path);
    EXPECT_EQ(request.frame, GetParam().frame);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ScreenshotRequestTest,
    ::testing::Values(RequestCase{nullptr, "", 0}, RequestCase{"", "", 0}, RequestCase{"shot.png", "shot.png", 10},
                      RequestCase{"/tmp/a b/shot.png:3", "/tmp/a b/shot.png", 3},
                      RequestCase{"shot.png:", "", 0}, RequestCase{"shot.png:0", "", 0},
                      RequestCase{"shot.png:-2", "shot.png:-2", 10}, RequestCase{":5", "", 0},
                      RequestCase{"dir:x/shot.png", "dir:x/shot.png", 10},
                      RequestCase{"shot.png:99999999999", "", 0}));

// Several requests, each read as one; those asking for nothing are left out.
TEST(ScreenshotRequestsTest, ReadsEachRequestOfTheList) {
    const std::vector<ScreenshotRequest> requests = ParseScreenshotRequests("/tmp/a.png:5;;b.png:0;/tmp/c d.png");
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].path, "/tmp/a.png");
    EXPECT_EQ(requests[0].frame, 5);
    EXPECT_EQ(requests[1].path, "/tmp/c d.png");
    EXPECT_EQ(requests[1].frame, ScreenshotRequest::kDefaultFrame);
    EXPECT_TRUE(ParseScreenshotRequests(nullptr).empty());
    EXPECT_TRUE(ParseScreenshotRequests("").empty());
}

TEST(ScreenshotTest, WritesTheFrameAsAPngThatReadsBackTheSame) {
    testsupport::TempDir folder;
    CapturedFrame frame;
    frame.width = 3;
    frame.height = 2;
    frame.pixels = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0x00FFFFFFu, 0xFF000000u, 0xFF808080u};
    const std::string path = (folder / "shots/frame.png").string();
    ASSERT_TRUE(WriteScreenshot(path, frame));

    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    SPImage image;
    std::string error;
    ASSERT_TRUE(DecodePng(bytes.data(), bytes.size(), image, error)) << error;
    ASSERT_EQ(image.width, 3u);
    ASSERT_EQ(image.height, 2u);
    const auto* pixels = reinterpret_cast<const uint32_t*>(image.levels[0].data());
    for (size_t i = 0; i < frame.pixels.size(); ++i) {
        EXPECT_EQ(pixels[i] & 0xFFFFFFu, frame.pixels[i] & 0xFFFFFFu) << "pixel " << i;
    }
}

TEST(ScreenshotTest, AFrameWithoutPixelsIsNotWritten) {
    testsupport::TempDir folder;
    CapturedFrame frame;
    frame.width = 2;
    frame.height = 2;
    EXPECT_FALSE(WriteScreenshot((folder / "empty.png").string(), frame));
    EXPECT_FALSE(std::filesystem::exists(folder / "empty.png"));
}

}  // namespace
