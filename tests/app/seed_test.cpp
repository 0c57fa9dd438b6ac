// VX_SEED: the seed it names, and two runs of the real program with the same seed and frame
// time showing the same picture, pixel for pixel, particles and all.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ProgramRun.h"
#include "WorkingFolder.h"
#include "app/GameSeed.h"
#include "support/TempDir.h"

namespace {

struct SeedText {
    std::string text;
    std::optional<unsigned int> seed;
};

TEST(GameSeed, ReadsAPlainDecimalNumberThatFitsThirtyTwoBits) {
    const SeedText cases[] = {
        {"0", 0u},           {"42", 42u},          {"4294967295", 4294967295u}, {"007", 7u},
        {"", std::nullopt},  {"-1", std::nullopt}, {"4294967296", std::nullopt}, {"+5", std::nullopt},
        {" 5", std::nullopt}, {"5 ", std::nullopt}, {"12abc", std::nullopt},     {"0x10", std::nullopt},
    };
    for (const SeedText& c : cases) EXPECT_EQ(ParseSeed(c.text), c.seed) << '"' << c.text << '"';
}

class SeededRunTest : public ::testing::Test {
protected:
    void SetUp() override { testsupport::CopyGameFolder(VX_SAMPLE_DATA, m_folder.Path()); }

    apptest::ProgramResult Run(const std::string& seed) {
        apptest::ProgramRun run;
        run.folder = m_folder.Path();
        run.environment = {{"VX_FRAMES", "16"},     {"VX_SCREENSHOT", Shot() + ":12"},
                           {"VX_FRAME_TIME", "0.05"}, {"VX_SEED", seed},
                           {"VX_LOG", "stderr"},    {"SDL_VIDEODRIVER", "offscreen"}};
        return apptest::RunProgram(run);
    }

    // The screenshot of a run with that seed; empty pixels after a failure.
    std::vector<uint8_t> Pixels(const std::string& seed) {
        const apptest::ProgramResult result = Run(seed);
        EXPECT_EQ(result.exitCode, 0) << result.errors;
        SPImage image;
        std::string error;
        EXPECT_TRUE(apptest::ReadScreenshot(Shot(), image, error)) << error;
        return image.levels.empty() ? std::vector<uint8_t>{} : image.levels[0];
    }

    std::string Shot() const { return (m_folder.Path() / "shot.png").string(); }

    testsupport::TempDir m_folder;
};

// Bytes of the two pictures that differ.
size_t Differences(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    size_t count = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) count += a[i] != b[i] ? 1 : 0;
    return count;
}

TEST_F(SeededRunTest, TheSameSeedShowsTheSameFrameAndAnotherSeedAnotherOne) {
    const std::vector<uint8_t> first = Pixels("1234");
    const std::vector<uint8_t> second = Pixels("1234");
    const std::vector<uint8_t> other = Pixels("99");
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(Differences(first, second), 0u) << "the same seed and frame time, the same picture";
    EXPECT_GT(Differences(first, other), 0u) << "the particles fly elsewhere with another seed";
}

TEST_F(SeededRunTest, ASeedThatIsNoNumberEndsTheProgramWithTheReason) {
    const apptest::ProgramResult result = Run("twelve");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.errors.find("VX_SEED=\"twelve\""), std::string::npos) << result.errors;
}

}  // namespace
