// Recording and replaying a run of the real program on the sample level: a replay of one
// recording with one seed is the same run every time, down to the last bit of the play state and
// the last pixel; another seed makes another run; a run recorded with the real clock and a seed
// from the clock replays as it was; a bad switch or recording stops the program with the reason.
// Recordings of random play come from the input tool (vxinput).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "ProgramRun.h"
#include "WorkingFolder.h"
#include "app/InputTapeSwitches.h"

namespace {

// What a run left behind.
struct RunOutcome {
    apptest::ProgramResult result;
    std::string state;     // the VX_STATE file
    std::string picture;   // the VX_SCREENSHOT file
};

class ReplayTest : public ::testing::Test {
protected:
    void SetUp() override { apptest::CopyGameFolder(VX_SAMPLE_DATA, m_folder.Path()); }

    // Writes seeded random play of the given seconds, frames of 0.05 s, into the game folder.
    void MakeRandomInput(const std::string& name, int seed, double seconds) {
        const std::string command = std::string(VX_INPUT_BINARY) + " random " + std::to_string(seed) + " " +
                                    std::to_string(seconds) + " 0.05 '" + (m_folder.Path() / name).string() + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    // Runs the sample level with the switches; the state and the picture of frame 40.
    RunOutcome Run(std::vector<std::pair<std::string, std::string>> switches, std::vector<std::string> unset = {}) {
        std::filesystem::remove(m_folder.Path() / "state.txt");
        std::filesystem::remove(m_folder.Path() / "shot.png");
        apptest::ProgramRun run;
        run.folder = m_folder.Path();
        run.environment = {{"VX_LEVEL", "level1"},          {"VX_STATE", "state.txt"},
                           {"VX_SCREENSHOT", "shot.png:40"}, {"VX_LOG", "stderr"},
                           {"SDL_VIDEODRIVER", "offscreen"}};
        run.environment.insert(run.environment.end(), switches.begin(), switches.end());
        run.unsetEnvironment = std::move(unset);
        RunOutcome outcome;
        outcome.result = apptest::RunProgram(run);
        outcome.state = apptest::ReadBytes(m_folder.Path() / "state.txt");
        outcome.picture = apptest::ReadBytes(m_folder.Path() / "shot.png");
        return outcome;
    }

    static void SetSwitch(const char* name, const char* value) {
        if (value) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }

    apptest::WorkingFolder m_folder;
};

TEST_F(ReplayTest, OneRecordingAndOneSeedMakeTheSameRunAndAnotherSeedAnotherOne) {
    MakeRandomInput("play.rec", 11, 4.0);
    const auto replay = [&](const char* seed) { return Run({{"VX_REPLAY", "play.rec"}, {"VX_SEED", seed}}); };
    const RunOutcome first = replay("5");
    const RunOutcome second = replay("5");
    const RunOutcome other = replay("6");
    for (const RunOutcome* outcome : {&first, &second, &other}) {
        ASSERT_EQ(outcome->result.exitCode, 0) << outcome->result.errors;
        ASSERT_NE(outcome->state.find("\ncar "), std::string::npos) << outcome->state;
        ASSERT_FALSE(outcome->picture.empty());
    }
    EXPECT_EQ(first.state, second.state);
    EXPECT_EQ(first.picture, second.picture);
    EXPECT_NE(first.state, other.state) << "the seed steers the run";
    EXPECT_NE(first.picture, other.picture) << "the particles fly elsewhere";
}

TEST_F(ReplayTest, ARunOnTheRealClockWithASeedFromTheClockReplaysAsItWas) {
    const RunOutcome recorded = Run({{"VX_RECORD", "run.rec"}, {"VX_FRAMES", "60"}}, {"VX_SEED", "VX_FRAME_TIME"});
    ASSERT_EQ(recorded.result.exitCode, 0) << recorded.result.errors;
    const RunOutcome replayed = Run({{"VX_REPLAY", "run.rec"}, {"VX_FRAMES", "60"}}, {"VX_SEED", "VX_FRAME_TIME"});
    ASSERT_EQ(replayed.result.exitCode, 0) << replayed.result.errors;
    ASSERT_NE(recorded.state.find("\ncar "), std::string::npos) << recorded.state;
    EXPECT_EQ(replayed.state, recorded.state);
}

// The switches are read before the game starts: a bad one names itself.
TEST_F(ReplayTest, ABadSwitchOrRecordingIsRefusedWithTheReason) {
    MakeRandomInput("play.rec", 3, 0.2);
    std::string damaged = apptest::ReadBytes(m_folder.Path() / "play.rec");
    damaged.pop_back();  // the last event is cut short
    m_folder.Write("damaged.rec", damaged);
    m_folder.Write("empty.rec", "");
    struct Case {
        const char* record;
        const char* replay;
        const char* reason;
    };
    const Case cases[] = {
        {nullptr, "missing.rec", "VX_REPLAY: cannot read the recording missing.rec"},
        {nullptr, "empty.rec", "empty.rec cannot be replayed: it is no input recording"},
        {nullptr, "damaged.rec", "damaged.rec cannot be replayed: an event of pass"},
        {nullptr, "/tmp/play.rec", "VX_REPLAY=\"/tmp/play.rec\" names no file in the game's folder"},
        {nullptr, "", "VX_REPLAY=\"\" names no file in the game's folder"},
        {"/tmp/new.rec", nullptr, "VX_RECORD=\"/tmp/new.rec\" names no file in the game's folder"},
        {"data", nullptr, "VX_RECORD: cannot write the recording data"},
        {"new.rec", "play.rec", "VX_RECORD and VX_REPLAY exclude each other"},
    };
    for (const Case& c : cases) {
        SetSwitch("VX_RECORD", c.record);
        SetSwitch("VX_REPLAY", c.replay);
        CPInputTapeSwitches switches;
        std::string error;
        EXPECT_FALSE(switches.Read(error)) << c.reason;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
    SetSwitch("VX_RECORD", nullptr);
    SetSwitch("VX_REPLAY", nullptr);
    EXPECT_FALSE(std::filesystem::exists(m_folder.Path() / "new.rec"));

    // The program stops before the game, with exit code 2 and the reason.
    const RunOutcome outcome = Run({{"VX_REPLAY", "damaged.rec"}});
    EXPECT_EQ(outcome.result.exitCode, 2);
    EXPECT_NE(outcome.result.errors.find("vexmoor: VX_REPLAY: damaged.rec cannot be replayed"), std::string::npos)
        << outcome.result.errors;
}

}  // namespace
