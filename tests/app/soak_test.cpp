// The short soak: seeded random play (driving, firing, typing, the mouse, the window losing its
// focus and being minimised) replayed over the sample level by the game as built, under the
// sanitizers in the sanitizer build. The game must end normally, where the recording closes the
// window, with no sanitizer report and no engine object alive, and the car on the level's ground
// (the fog border keeps it in). tools/soak.sh is the long one.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "ProgramRun.h"
#include "StateFile.h"
#include "WorkingFolder.h"

namespace {

constexpr int kSoakSeconds = 60;
constexpr float kLevelHalfSize = 60.0f;  // level1's half width and depth

TEST(Soak, RandomPlayOverTheSampleLevelEndsCleanly) {
    apptest::WorkingFolder folder;
    apptest::CopyGameFolder(VX_SAMPLE_DATA, folder.Path());
    const std::string command = std::string(VX_INPUT_BINARY) + " random 2026 " + std::to_string(kSoakSeconds) +
                                " 0.05 '" + (folder.Path() / "soak.rec").string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    apptest::ProgramRun run;
    run.folder = folder.Path();
    run.environment = {{"VX_LEVEL", "level1"}, {"VX_REPLAY", "soak.rec"},        {"VX_SEED", "1"},
                       {"VX_LOG", "stderr"},   {"SDL_VIDEODRIVER", "offscreen"}, {"VX_STATE", "state.txt"}};
    // A minute of play under the sanitizers takes 15 s on a quiet machine, over a minute on a busy one.
    run.timeLimit = std::chrono::minutes(5);
    const apptest::ProgramResult result = apptest::RunProgram(run);
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(result.errors.find("runtime error"), std::string::npos) << result.errors;
    EXPECT_EQ(result.errors.find("AddressSanitizer"), std::string::npos) << result.errors;
    EXPECT_NE(result.errors.find("Live engine objects: 0\n"), std::string::npos) << result.errors;
    const std::string state = apptest::ReadBytes(folder.Path() / "state.txt");
    PVector3 car{};
    ASSERT_TRUE(apptest::ReadCarPosition(state, car)) << state;
    EXPECT_LT(std::fabs(car.x), kLevelHalfSize) << state;
    EXPECT_LT(std::fabs(car.y), kLevelHalfSize) << state;
    EXPECT_GT(car.z, 0.0f) << state;
}

}  // namespace
