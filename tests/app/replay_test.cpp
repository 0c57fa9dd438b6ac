// Recording and replaying a run of the real program on the sample level: a replay of one
// recording with one seed is the same run every time, down to the last bit of the play state and
// the last pixel; another seed makes another run; a run recorded with the real clock and a seed
// from the clock replays as it was; a bad switch or recording stops the program with the reason.
// Recordings of random play come from the input tool (vxinput).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <string>
#include <utility>
#include <vector>

#include "ProgramRun.h"
#include "WorkingFolder.h"
#include "app/InputTapeSwitches.h"
#include "app/SingleInstance.h"
#include "platform/InputRecording.h"
#include "support/TempDir.h"

namespace {

// Where the length of a recording's first block lies (platform/InputRecording.h).
constexpr size_t kBlockLengthAt = 12;

// Makes a recording's first block one byte shorter than its fields.
void ShortenFirstBlock(std::string& recording) {
    uint32_t length = 0;
    for (int i = 0; i < 4; ++i) length |= static_cast<uint32_t>(static_cast<uint8_t>(recording[kBlockLengthAt + i])) << (8 * i);
    --length;
    for (int i = 0; i < 4; ++i) recording[kBlockLengthAt + i] = static_cast<char>(length >> (8 * i));
}

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

    // Runs the sample level with the switches; the state and the picture of frame 40. The run's
    // single-instance lock lies in runtimeFolder when one is given.
    RunOutcome Run(std::vector<std::pair<std::string, std::string>> switches, std::vector<std::string> unset = {},
                   const std::filesystem::path& runtimeFolder = {}) {
        std::filesystem::remove(m_folder.Path() / "state.txt");
        std::filesystem::remove(m_folder.Path() / "shot.png");
        apptest::ProgramRun run;
        run.folder = m_folder.Path();
        // A replay under the sanitizers takes 30 to 40 s on a busy machine, more under a heavier
        // load; the limit only stops a run that hangs.
        run.timeLimit = std::chrono::minutes(5);
        run.environment = {{"VX_LEVEL", "level1"},          {"VX_STATE", "state.txt"},
                           {"VX_SCREENSHOT", "shot.png:40"}, {"VX_LOG", "stderr"},
                           {"SDL_VIDEODRIVER", "offscreen"}};
        run.environment.insert(run.environment.end(), switches.begin(), switches.end());
        run.unsetEnvironment = std::move(unset);
        run.runtimeFolder = runtimeFolder;
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
    ShortenFirstBlock(damaged);  // its last event is cut short
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

// The recording in a file; false when it cannot be read.
bool ReadRecording(const std::filesystem::path& path, platform::InputRecording& recording) {
    const std::string bytes = apptest::ReadBytes(path);
    std::string error;
    return platform::DecodeInputRecording(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), recording,
                                          error);
}

// The run a player most wants to see again is the one that crashed: a run killed in the middle
// leaves the recording of what it played up to its last second, and that recording replays.
TEST_F(ReplayTest, ARunKilledInTheMiddleLeavesARecordingThatReplays) {
    apptest::ProgramRun run;
    run.folder = m_folder.Path();
    run.environment = {{"VX_LEVEL", "level1"}, {"VX_RECORD", "crash.rec"}, {"VX_SEED", "5"},
                       {"VX_FRAME_TIME", "0.05"}, {"SDL_VIDEODRIVER", "offscreen"}};  // no end of its own
    apptest::StartedProgram program(run);
    constexpr uint32_t kPasses = 30;
    platform::InputRecording recording;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (!program.Ended() && std::chrono::steady_clock::now() < deadline &&
           !(ReadRecording(m_folder.Path() / "crash.rec", recording) && recording.passCount >= kPasses)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_FALSE(program.Ended()) << program.Wait().errors;
    ASSERT_EQ(kill(program.Pid(), SIGKILL), 0);
    program.Wait();

    ASSERT_TRUE(ReadRecording(m_folder.Path() / "crash.rec", recording)) << "the killed run's recording reads";
    ASSERT_GE(recording.passCount, kPasses) << "the killed run's recording holds what it played";
    EXPECT_EQ(recording.seed, 5u);
    const std::string frames = std::to_string(recording.passCount);
    const RunOutcome first = Run({{"VX_REPLAY", "crash.rec"}, {"VX_FRAMES", frames}}, {"VX_SEED", "VX_FRAME_TIME"});
    const RunOutcome second = Run({{"VX_REPLAY", "crash.rec"}, {"VX_FRAMES", frames}}, {"VX_SEED", "VX_FRAME_TIME"});
    ASSERT_EQ(first.result.exitCode, 0) << first.result.errors;
    ASSERT_NE(first.state.find("\ncar "), std::string::npos) << first.state;
    EXPECT_EQ(first.state, second.state);
}

// A recording is the most precious file a run names: a start that ends before the game has
// anything to record leaves the file of an earlier run exactly as it was.
TEST_F(ReplayTest, AStartThatEndsBeforeTheGameKeepsTheRecordingItNames) {
    MakeRandomInput("best.rec", 7, 2.0);
    const std::string best = apptest::ReadBytes(m_folder.Path() / "best.rec");
    ASSERT_GT(best.size(), 100u);

    // Another copy holds the single-instance lock.
    testsupport::TempDir runtime;
    const int lock = open((runtime.Path() / kSingleInstanceName).c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(flock(lock, LOCK_EX | LOCK_NB), 0);
    const RunOutcome refused = Run({{"VX_RECORD", "best.rec"}, {"VX_FRAMES", "20"}}, {}, runtime.Path());
    close(lock);
    EXPECT_EQ(refused.result.exitCode, 1) << refused.result.errors;
    EXPECT_NE(refused.result.errors.find("another copy of the game is already running"), std::string::npos)
        << refused.result.errors;
    EXPECT_EQ(apptest::ReadBytes(m_folder.Path() / "best.rec"), best) << "the refused copy emptied the recording";

    // The game's scripts are missing: the run fails before its first pass.
    std::filesystem::remove(m_folder.Path() / "data/scripts/list.dat");
    const RunOutcome failed = Run({{"VX_RECORD", "best.rec"}, {"VX_FRAMES", "20"}});
    EXPECT_EQ(failed.result.exitCode, 1) << failed.result.errors;
    EXPECT_EQ(apptest::ReadBytes(m_folder.Path() / "best.rec"), best) << "the failed start emptied the recording";
}

// A play state file that cannot be written is known before the game, as a recording's is: the
// run stops at its start, not after playing to the end.
TEST_F(ReplayTest, AStateFileOutsideTheGameFolderStopsTheRunAtItsStart) {
    const RunOutcome outcome = Run({{"VX_STATE", "../state.txt"}, {"VX_FRAMES", "50"}});
    EXPECT_EQ(outcome.result.exitCode, 1) << outcome.result.errors;
    EXPECT_NE(outcome.result.errors.find("VX_STATE: cannot write the play state to ../state.txt"), std::string::npos)
        << outcome.result.errors;
    EXPECT_TRUE(outcome.picture.empty()) << "frame 40 was played";
    EXPECT_FALSE(std::filesystem::exists(m_folder.Path().parent_path() / "state.txt"));
}

}  // namespace
