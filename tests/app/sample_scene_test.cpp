// The program draws the sample data's scene, which the script "main" loads from object
// descriptions: a screenshot of a frame shows the lit ground, the textured box with its glow and
// the car where they belong, and the fallback model where a description is missing; frames a
// quarter of a second apart differ where the walker and the fan move and nowhere else that
// stands still.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "ProgramRun.h"
#include "WorkingFolder.h"
#include "math/PMath.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

constexpr int32_t kWidth = 640;
constexpr int32_t kHeight = 480;

struct Rgb {
    int r, g, b;
};

class SampleSceneTest : public ::testing::Test {
protected:
    void SetUp() override { testsupport::CopyGameFolder(VX_SAMPLE_DATA, m_folder.Path()); }

    void RemoveDataFile(const std::string& path) { ASSERT_TRUE(fs::remove(m_folder.Path() / path)) << path; }

    // Runs the program for a few frames of 0.05 s and reads the screenshot of one of them.
    void Shoot(int frame = 8) {
        apptest::ProgramRun run;
        run.folder = m_folder.Path();
        const std::string shot = (m_folder.Path() / "shot.png").string();
        run.environment = {{"VX_FRAMES", std::to_string(frame + 4)},
                           {"VX_SCREENSHOT", shot + ":" + std::to_string(frame)},
                           {"VX_FRAME_TIME", "0.05"},
                           {"VX_LOG", "stderr"},
                           {"SDL_VIDEODRIVER", "offscreen"}};
        const apptest::ProgramResult result = apptest::RunProgram(run);
        ASSERT_EQ(result.exitCode, 0) << result.errors;
        std::string error;
        ASSERT_TRUE(apptest::ReadScreenshot(shot, m_image, error)) << error;
        ASSERT_EQ(m_image.width, static_cast<uint32_t>(kWidth));
        ASSERT_EQ(m_image.height, static_cast<uint32_t>(kHeight));
    }

    Rgb Pixel(int32_t x, int32_t y) const {
        const auto* pixels = reinterpret_cast<const uint32_t*>(m_image.levels[0].data());
        const uint32_t pixel = pixels[static_cast<size_t>(y * kWidth + x)];
        return {static_cast<int>(pixel >> 16 & 0xFF), static_cast<int>(pixel >> 8 & 0xFF), static_cast<int>(pixel & 0xFF)};
    }

    testsupport::TempDir m_folder;
    SPImage m_image;
};

::testing::AssertionResult Near(Rgb expected, Rgb actual, int tolerance) {
    if (std::abs(expected.r - actual.r) <= tolerance && std::abs(expected.g - actual.g) <= tolerance &&
        std::abs(expected.b - actual.b) <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "expected (" << expected.r << ", " << expected.g << ", " << expected.b
                                         << "), got (" << actual.r << ", " << actual.g << ", " << actual.b << ")";
}

// Where a world point lands on the screen under the start camera.
void Project(const PVector3& point, int32_t& x, int32_t& y) {
    const PMatrix view = MatrixLookAtLH({0.0f, -7.0f, 3.5f}, {0.0f, 0.0f, 0.3f}, {0.0f, 0.0f, 1.0f});
    const PMatrix projection = MatrixPerspectiveFovLH(0.9f, static_cast<float>(kWidth) / kHeight, 1.0f, 100.0f);
    const PVector3 clip = Vec3TransformCoord(point, view * projection);
    x = static_cast<int32_t>((clip.x + 1.0f) * 0.5f * kWidth);
    y = static_cast<int32_t>((1.0f - clip.y) * 0.5f * kHeight);
}

// The colour is the checker's orange, its cream or a blend of the two (filtering), under light of
// some strength.
::testing::AssertionResult LitChecker(Rgb colour) {
    const Rgb orange{0xE0, 0x70, 0x20};
    const Rgb cream{0xF0, 0xE0, 0xC0};
    for (int step = 0; step <= 20; ++step) {
        const float t = static_cast<float>(step) / 20.0f;
        const float r = t * orange.r + (1.0f - t) * cream.r;
        const float g = t * orange.g + (1.0f - t) * cream.g;
        const float b = t * orange.b + (1.0f - t) * cream.b;
        const float light = static_cast<float>(colour.r) / r;
        if (light < 0.4f || light > 1.0f) continue;
        if (Near({colour.r, static_cast<int>(g * light), static_cast<int>(b * light)}, colour, 6)) {
            return ::testing::AssertionSuccess();
        }
    }
    return ::testing::AssertionFailure() << "(" << colour.r << ", " << colour.g << ", " << colour.b
                                         << ") is no lit checker texel";
}

bool Greenish(Rgb c) { return c.g > c.r + 20 && c.g > c.b + 20; }
bool Blueish(Rgb c) { return c.b > 2 * c.r && c.b > c.g + 40; }
bool Magenta(Rgb c) { return c.r > 120 && c.b > 120 && c.g < c.r / 2; }

TEST_F(SampleSceneTest, AFrameShowsTheGroundTheBoxWithItsGlowAndTheCar) {
    Shoot();
    if (HasFatalFailure()) return;
    EXPECT_TRUE(Near({0, 0, 0}, Pixel(5, 5), 0)) << "the cleared background above the horizon";

    int32_t x = 0;
    int32_t y = 0;
    Project({-1.7f, 0.0f, -0.2f}, x, y);
    EXPECT_TRUE(LitChecker(Pixel(x, y))) << "the box's centre";
    Project({-1.7f, 0.0f, -0.9f}, x, y);
    EXPECT_TRUE(LitChecker(Pixel(x, y - 4))) << "the box's lower part";

    Project({-1.7f, 0.0f, 1.3f}, x, y);
    EXPECT_TRUE(Near({0xFF, 0xE0, 0x40}, Pixel(x, y), 6)) << "the glow's opaque centre";

    Project({1.7f, 0.9f, -0.4f}, x, y);
    EXPECT_TRUE(Blueish(Pixel(x, y))) << "the car's body";
    Project({0.0f, -3.0f, -1.0f}, x, y);
    EXPECT_TRUE(Greenish(Pixel(x, y))) << "the ground in front";
    Project({6.0f, 8.0f, -1.0f}, x, y);
    EXPECT_TRUE(Greenish(Pixel(x, y))) << "the ground far off";
}

TEST_F(SampleSceneTest, AMissingDescriptionShowsTheFallbackModel) {
    RemoveDataFile("data/meshes/box.rdf");
    Shoot();
    if (HasFatalFailure()) return;
    int32_t x = 0;
    int32_t y = 0;
    Project({-1.7f, 0.0f, 0.2f}, x, y);
    int magenta = 0;
    for (int32_t dy = -20; dy <= 20; ++dy) {
        for (int32_t dx = -20; dx <= 20; ++dx) magenta += Magenta(Pixel(x + dx, y + dy)) ? 1 : 0;
    }
    EXPECT_GT(magenta, 100) << "the error texture of wrong.rdf where the box stood";
    Project({-1.7f, 0.0f, -0.2f}, x, y);
    EXPECT_FALSE(LitChecker(Pixel(x, y))) << "no box";
}

// Pixels of the square of that half size around the screen point of a world point whose colour
// differs between the two pictures by more than a rounding.
int ChangedAround(const SPImage& first, const SPImage& second, const PVector3& point, int32_t half) {
    int32_t x = 0;
    int32_t y = 0;
    Project(point, x, y);
    const auto* a = reinterpret_cast<const uint32_t*>(first.levels[0].data());
    const auto* b = reinterpret_cast<const uint32_t*>(second.levels[0].data());
    int changed = 0;
    for (int32_t py = std::max(0, y - half); py <= std::min(kHeight - 1, y + half); ++py) {
        for (int32_t px = std::max(0, x - half); px <= std::min(kWidth - 1, x + half); ++px) {
            const uint32_t p = a[py * kWidth + px];
            const uint32_t q = b[py * kWidth + px];
            for (int shift = 0; shift < 24; shift += 8) {
                if (std::abs(static_cast<int>(p >> shift & 0xFF) - static_cast<int>(q >> shift & 0xFF)) > 3) {
                    ++changed;
                    break;
                }
            }
        }
    }
    return changed;
}

TEST_F(SampleSceneTest, TheWalkerAndTheFanMoveBetweenFramesAndTheRestStandsStill) {
    RemoveDataFile("data/flames.dat");  // no particles: they move on their own
    Shoot(8);
    if (HasFatalFailure()) return;
    const SPImage early = m_image;
    Shoot(13);  // a quarter of a second later: the next walker frame, the blade a quarter turn on
    if (HasFatalFailure()) return;
    EXPECT_GT(ChangedAround(early, m_image, {-0.4f, 3.0f, -0.2f}, 20), 50) << "the walker's top sways";
    EXPECT_GT(ChangedAround(early, m_image, {0.7f, 3.0f, 0.25f}, 30), 50) << "the fan's blade turns";
    EXPECT_EQ(ChangedAround(early, m_image, {1.7f, 0.9f, -0.4f}, 15), 0) << "the car";
    EXPECT_EQ(ChangedAround(early, m_image, {0.0f, -3.0f, -1.0f}, 20), 0) << "the ground in front";
    EXPECT_EQ(ChangedAround(early, m_image, {6.0f, 8.0f, -1.0f}, 10), 0) << "the ground far off";
}

}  // namespace
