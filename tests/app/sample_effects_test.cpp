// The sample run shows its particle effects: the same frame differs from one drawn with an
// empty Data\particles.dat (no particle templates), and the sparks shine where they start.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "ProgramRun.h"
#include "WorkingFolder.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

// Copies the sample data, lets change alter it, runs the program and decodes drawn frame 8.
SPImage ShootSample(void (*change)(const fs::path& folder)) {
    testsupport::TempDir folder;
    fs::copy(VX_SAMPLE_DATA, folder.Path(), fs::copy_options::recursive);
    change(folder.Path());
    apptest::ProgramRun run;
    run.folder = folder.Path();
    const std::string shot = (folder.Path() / "shot.png").string();
    run.environment = {{"VX_FRAMES", "12"}, {"VX_SCREENSHOT", shot + ":8"}, {"SDL_VIDEODRIVER", "offscreen"}};
    const apptest::ProgramResult result = apptest::RunProgram(run);
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    SPImage image;
    std::string error;
    EXPECT_TRUE(apptest::ReadScreenshot(shot, image, error)) << error;
    return image;
}

TEST(SampleEffectsTest, TheSampleFrameShowsParticlesThatAnEmptyParticleFileTakesAway) {
    const SPImage with = ShootSample([](const fs::path&) {});
    const SPImage without = ShootSample([](const fs::path& folder) { std::ofstream(folder / "data" / "particles.dat"); });
    ASSERT_FALSE(with.levels.empty());
    ASSERT_FALSE(without.levels.empty());
    ASSERT_EQ(with.levels[0].size(), without.levels[0].size());
    const auto* a = reinterpret_cast<const uint32_t*>(with.levels[0].data());
    const auto* b = reinterpret_cast<const uint32_t*>(without.levels[0].data());
    int differing = 0;
    int brighter = 0;
    for (size_t i = 0; i < with.levels[0].size() / 4; ++i) {
        if (a[i] == b[i]) continue;
        ++differing;
        const uint32_t sumA = (a[i] >> 16 & 0xFF) + (a[i] >> 8 & 0xFF) + (a[i] & 0xFF);
        const uint32_t sumB = (b[i] >> 16 & 0xFF) + (b[i] >> 8 & 0xFF) + (b[i] & 0xFF);
        if (sumA > sumB) ++brighter;
    }
    EXPECT_GT(differing, 20) << "the sparks, smoke and flame";
    EXPECT_GT(brighter, 20) << "glowing particles brighten the frame";
}

}  // namespace
