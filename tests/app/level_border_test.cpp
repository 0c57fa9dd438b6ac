// The fog border keeps the car in the level: the real program plays the sample level with the
// car started 25 units from a side, facing it, and a probe script holding the accelerator down
// (as the bound key does) until the game ends; the car must end on the ground inside the
// terrain, stopped at the border's rim. The sides are driven at an edge piece (west, east) and
// at a corner piece's arm (north, south), so both pieces are met turned every way the level turns
// them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "ProgramRun.h"
#include "StateFile.h"
#include "WorkingFolder.h"
#include "game/LevelFile.h"

namespace {

constexpr float kHalfSize = 60.0f;  // level1's half width and depth
constexpr float kRim = 6.0f;        // the car stops this close to the side at most
constexpr int kFrames = 160;        // of 0.05 s: 1 s to land, then 7 s of full throttle

constexpr char kProbeScript[] = R"(
local frame = 0
while true do
    frame = frame + 1
    if frame == 20 then SendCommandByCategory("action_listener", "key_action", "forward,1") end
    Update()
end
)";

constexpr char kProbeModel[] = "mesh = box.msh\n[box]\nscript = probe\n";

struct Side {
    const char* name;
    float x, y;        // the car's start
    float dx, dy;      // the direction it drives
};

class LevelBorderTest : public ::testing::TestWithParam<Side> {};

// The player's rotation as the level file holds it: the turn about z that points the car's
// forward (-y) along (dx, dy).
PQuaternion Facing(float dx, float dy) {
    const float angle = std::atan2(dy, dx) + 3.14159265f / 2.0f;
    return {0.0f, 0.0f, std::sin(angle / 2.0f), std::cos(angle / 2.0f)};
}

void PlaceCar(const apptest::WorkingFolder& folder, const Side& side) {
    const std::string path = "data/levels/level1.lvl";
    const std::string bytes = apptest::ReadBytes(folder.Path() / path);
    SPLevelFile file;
    std::string error;
    ASSERT_TRUE(ReadLevelFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), file, error)) << error;
    for (SPLevelRecord& record : file.records) {
        if (record.name == "player") {
            record.position = {side.x, side.y, 0.0f};
            record.rotation = Facing(side.dx, side.dy);
        }
    }
    // Behind the car, out of its way.
    file.records.push_back({"probe", {side.x - 8.0f * side.dx, side.y - 8.0f * side.dy, 0.8f}, {0, 0, 0, 1}, {}});
    const std::vector<uint8_t> written = WriteLevelFile(file);
    folder.Write(path, std::string(written.begin(), written.end()));
}

TEST_P(LevelBorderTest, TheCarDrivenAtFullThrottleStopsAtTheSide) {
    const Side& side = GetParam();
    apptest::WorkingFolder folder;
    apptest::CopyGameFolder(VX_SAMPLE_DATA, folder.Path());
    const std::string list = apptest::ReadBytes(folder.Path() / "data/scripts/list.dat");
    folder.Write("data/scripts/list.dat", list + "probe t_level level\n");
    folder.Write("data/scripts/probe.lua", kProbeScript);
    folder.Write("data/meshes/probe.rdf", kProbeModel);
    ASSERT_NO_FATAL_FAILURE(PlaceCar(folder, side));

    apptest::ProgramRun run;
    run.folder = folder.Path();
    run.environment = {{"VX_LEVEL", "level1"},    {"VX_FRAMES", std::to_string(kFrames)},
                       {"VX_FRAME_TIME", "0.05"}, {"VX_SEED", "3"},
                       {"VX_STATE", "state.txt"}, {"VX_LOG", "stderr"},
                       {"SDL_VIDEODRIVER", "offscreen"}};
    // About 10 s under the sanitizers on a quiet machine; more on a busy one.
    run.timeLimit = std::chrono::minutes(3);
    const apptest::ProgramResult result = apptest::RunProgram(run);
    ASSERT_EQ(result.exitCode, 0) << result.errors;
    const std::string state = apptest::ReadBytes(folder.Path() / "state.txt");
    PVector3 car{};
    ASSERT_TRUE(apptest::ReadCarPosition(state, car)) << state;
    EXPECT_LT(std::fabs(car.x), kHalfSize) << state;
    EXPECT_LT(std::fabs(car.y), kHalfSize) << state;
    EXPECT_GT(car.z, 0.0f) << "on the ground, not falling\n" << state;
    const float reach = car.x * side.dx + car.y * side.dy;
    EXPECT_GT(reach, kHalfSize - kRim) << "stopped only at the rim\n" << state;
}

INSTANTIATE_TEST_SUITE_P(SampleLevel, LevelBorderTest,
                         ::testing::Values(Side{"WestEdge", -35.0f, 12.0f, -1.0f, 0.0f},
                                           Side{"EastEdge", 35.0f, -12.0f, 1.0f, 0.0f},
                                           Side{"NorthCornerArm", -45.0f, 35.0f, 0.0f, 1.0f},
                                           Side{"SouthCornerArm", 45.0f, -35.0f, 0.0f, -1.0f}),
                         [](const ::testing::TestParamInfo<Side>& info) { return std::string(info.param.name); });

}  // namespace
