// The real program on the sample data, each run in a fresh copy of the game's working folder.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "Input/NInput.h"
#include "ProgramRun.h"
#include "WorkingFolder.h"
#include "app/SingleInstance.h"
#include "core/PSettings.h"
#include "core/SettingsVariables.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using apptest::ProgramResult;
using apptest::ProgramRun;
using apptest::ReadBytes;

// What the object report at exit writes for every engine object still pending deletion, and
// the number of engine objects still alive (leaked) that ends it.
constexpr char kPendingObjectReport[] = "Удаленный объект";
constexpr char kNoLiveObjectReport[] = "Live engine objects: 0\n";

// The runs draw off screen: on a shared display the windows of parallel runs would take the
// focus from each other, and a game whose window is inactive pauses and never ends.
constexpr char kVideoDriver[] = "offscreen";

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::CopyGameFolder(VX_SAMPLE_DATA, Folder());
        fs::permissions(Folder(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                      fs::perms::others_read | fs::perms::others_exec);
    }

    const fs::path& Folder() const { return folder_.Path(); }

    // Starts without the launcher unless told otherwise.
    ProgramResult Run(std::vector<std::string> arguments = {"--windowed"},
                      std::vector<std::pair<std::string, std::string>> environment = {}) {
        ProgramRun run;
        run.folder = Folder();
        run.arguments = std::move(arguments);
        run.environment = {{"VX_FRAMES", "10"}, {"VX_LOG", "stderr"}, {"SDL_VIDEODRIVER", kVideoDriver}};
        run.environment.insert(run.environment.end(), environment.begin(), environment.end());
        return apptest::RunProgram(run);
    }

    std::string Bytes(const std::string& relative) const { return ReadBytes(Folder() / relative); }

    testsupport::TempDir folder_;
};

TEST_F(ProgramTest, RunsMainForItsFramesThenWritesItsFilesAndLeavesNoObjectBehind) {
    const std::string shippedBindings = Bytes("Actions.cfg");
    fs::remove(Folder() / "Actions.cfg");

    const ProgramResult first = Run();
    ASSERT_EQ(first.exitCode, 0) << first.errors;
    EXPECT_EQ(first.errors.find(kPendingObjectReport), std::string::npos) << first.errors;
    EXPECT_NE(first.errors.find(kNoLiveObjectReport), std::string::npos) << first.errors;
    EXPECT_EQ(first.errors.find("Script Error"), std::string::npos) << first.errors;
    EXPECT_EQ(Bytes("Actions.cfg"), shippedBindings) << "the built-in bindings are the shipped ones";
    const std::string settings = Bytes("config.cfg");
    EXPECT_NE(settings.find("screenWidth = 640\r\n"), std::string::npos) << settings;

    const ProgramResult second = Run();
    ASSERT_EQ(second.exitCode, 0) << second.errors;
    EXPECT_EQ(Bytes("config.cfg"), settings) << "read back and written again unchanged";
    EXPECT_EQ(Bytes("Actions.cfg"), shippedBindings);
}

TEST_F(ProgramTest, KeepsTheSettingsAndBindingsItFinds) {
    std::ofstream(Folder() / "config.cfg") << "screenWidth = 320\nscreenHeight=200\nsoundVolume = 0.25\n+bloom\n";
    std::ofstream(Folder() / "Actions.cfg", std::ios::binary)
        << "fire;\"Fire; main gun\";Space\r\nsay;\"Say \"\"hi\"\"\";Q\r\nzoom;Zoom;mlb\r\n";

    const ProgramResult result = Run();
    ASSERT_EQ(result.exitCode, 0) << result.errors;

    CPSettings settings;
    settings.Load((Folder() / "config.cfg").string());
    EXPECT_EQ(g_screenWidth, 320);
    EXPECT_EQ(g_screenHeight, 200);
    EXPECT_EQ(g_soundVolume, 0.25f);
    EXPECT_EQ(g_bloom, 1);
    EXPECT_EQ(g_fullScreen, 0);

    TPtr<CNInput> input(new CNInput);
    ASSERT_GE(input->LoadActions((Folder() / "Actions.cfg").string()), 0);
    EXPECT_EQ(input->GetActionList(), (std::vector<std::string>{"fire", "say", "zoom"}));
    EXPECT_EQ(input->GetActionMap().at("fire").label, "Fire; main gun");
    EXPECT_EQ(input->GetActionMap().at("say").label, "Say \"hi\"");
    EXPECT_EQ(input->GetActionMap().at("say").keyName, "Q");
    EXPECT_EQ(input->GetActionMap().at("zoom").keyName, "mlb");
}

// A config.cfg damaged by hand: the values outside their ranges are named in the log, the game
// starts with their defaults and writes those back, so the next start is as good.
TEST_F(ProgramTest, ADamagedConfigCfgIsLoggedAndMendedAndTheGameStarts) {
    std::ofstream(Folder() / "config.cfg") << "screenHeight = 0\nbrightness = 99999\nsoundVolume = -3\n";

    const ProgramResult result = Run();
    ASSERT_EQ(result.exitCode, 0) << result.errors;
    for (const char* key : {"screenHeight = 0", "brightness = 99999", "soundVolume = -3"}) {
        EXPECT_NE(result.errors.find(key), std::string::npos) << key << " is named in the log: " << result.errors;
    }
    const std::string settings = Bytes("config.cfg");
    for (const char* line : {"screenHeight = 480\r\n", "brightness = 0.5\r\n", "soundVolume = 0.5\r\n"}) {
        EXPECT_NE(settings.find(line), std::string::npos) << settings;
    }
}

TEST_F(ProgramTest, TheStartSwitchesChooseTheWindowModeInConfigCfg) {
    const ProgramResult fullScreen = Run({"--fullscreen"});
    ASSERT_EQ(fullScreen.exitCode, 0) << fullScreen.errors;
    EXPECT_NE(Bytes("config.cfg").find("fullScreen = 1\r\n"), std::string::npos);

    const ProgramResult windowed = Run({"--windowed"});
    ASSERT_EQ(windowed.exitCode, 0) << windowed.errors;
    EXPECT_NE(Bytes("config.cfg").find("fullScreen = 0\r\n"), std::string::npos);
}

TEST_F(ProgramTest, HelpNamesTheSwitchesAndAnUnknownArgumentStartsNothing) {
    const ProgramResult help = Run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* text : {"--windowed", "--fullscreen", "without the launcher", "VX_FRAMES", "VX_NO_EXIT_ACTIONS"}) {
        EXPECT_NE(help.output.find(text), std::string::npos) << text;
    }
    EXPECT_FALSE(fs::exists(Folder() / "config.cfg"));

    const ProgramResult wrong = Run({"--windwed"});
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_NE(wrong.errors.find("--windwed"), std::string::npos) << wrong.errors;
    const ProgramResult both = Run({"--windowed", "--fullscreen"});
    EXPECT_EQ(both.exitCode, 2);
    EXPECT_NE(both.errors.find("exclude each other"), std::string::npos) << both.errors;
    EXPECT_FALSE(fs::exists(Folder() / "config.cfg"));
}

// Two copies started together, each in its own working folder: the one that gets the lock runs
// (until it is killed, as nothing ends it), the other says so, exits with 1 and leaves its
// config.cfg alone. The killed copy's lock then does not keep the next start from running.
TEST_F(ProgramTest, OnlyOneCopyRunsAtATimeAndACrashedOneBlocksNothing) {
    testsupport::TempDir runtime;
    testsupport::TempDir otherFolder;
    testsupport::CopyGameFolder(VX_SAMPLE_DATA, otherFolder.Path());
    const std::string settings = "screenWidth = 320\n";
    std::ofstream(Folder() / "config.cfg") << settings;
    std::ofstream(otherFolder / "config.cfg") << settings;

    ProgramRun run;
    run.arguments = {"--windowed"};
    run.runtimeFolder = runtime.Path();
    run.environment = {{"SDL_VIDEODRIVER", kVideoDriver}};
    run.folder = Folder();
    apptest::StartedProgram first(run);
    run.folder = otherFolder.Path();
    apptest::StartedProgram second(run);
    while (!first.Ended() && !second.Ended()) std::this_thread::sleep_for(std::chrono::milliseconds(10));

    const bool firstRuns = second.Ended();
    apptest::StartedProgram& refused = firstRuns ? second : first;
    const fs::path refusedFolder = firstRuns ? otherFolder.Path() : Folder();
    const ProgramResult result = refused.Wait();
    EXPECT_EQ(result.exitCode, 1) << result.errors;
    EXPECT_NE(result.errors.find("another copy of the game is already running"), std::string::npos) << result.errors;
    EXPECT_FALSE((firstRuns ? first : second).Ended()) << "the copy holding the lock runs on";
    EXPECT_EQ(ReadBytes(refusedFolder / "config.cfg"), settings);

    ASSERT_EQ(kill(firstRuns ? first.Pid() : second.Pid(), SIGKILL), 0);
    (firstRuns ? first : second).Wait();
    run.folder = refusedFolder;
    run.environment.emplace_back("VX_FRAMES", "10");
    const ProgramResult next = apptest::RunProgram(run);
    EXPECT_EQ(next.exitCode, 0) << next.errors;
}

// Whoever can plant something where the lock lies (a pipe, in a shared folder) neither keeps the
// game from starting nor makes the start hang: the game runs without the check and says so.
TEST_F(ProgramTest, ALockFileThatIsNoFileOfTheUsersOwnNeitherBlocksNorHangsTheStart) {
    testsupport::TempDir runtime;
    ASSERT_EQ(mkfifo((runtime / kSingleInstanceName).c_str(), 0600), 0);
    ProgramRun run;
    run.folder = Folder();
    run.runtimeFolder = runtime.Path();
    run.environment = {{"VX_FRAMES", "10"}, {"VX_LOG", "stderr"}, {"SDL_VIDEODRIVER", kVideoDriver}};
    const ProgramResult result = apptest::RunProgram(run);
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_NE(result.errors.find("not checking for another copy"), std::string::npos) << result.errors;
}

TEST_F(ProgramTest, TheSampleGameDataLoadsWithoutComplaint) {
    const std::string scores = Bytes("data/scores.dat");
    ASSERT_FALSE(scores.empty()) << "the build writes the sample score table";

    const ProgramResult result = Run();
    ASSERT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(result.errors.find("refused"), std::string::npos) << result.errors;
    EXPECT_EQ(Bytes("data/scores.dat"), scores) << "a run without a new score leaves the table alone";
}

TEST_F(ProgramTest, DamagedGameDataIsNamedInTheLogAndTheGameStillRuns) {
    std::ofstream(Folder() / "data" / "w_info.dat") << "hmgun;n_hmgun;100;1;0;0;8\n" << std::string(5000, 'x') << "\n";
    std::ofstream(Folder() / "data" / "enemies.dat") << "walker 1;a;2;b;c;d\n";
    const std::string scores = Bytes("data/scores.dat");
    std::ofstream(Folder() / "data" / "scores.dat", std::ios::binary) << scores.substr(0, scores.size() - 1);

    const ProgramResult result = Run();
    ASSERT_EQ(result.exitCode, 0) << result.errors;
    for (const char* file : {"data\\enemies.dat refused", "Data\\w_info.dat, line 2 left out", "Data\\scores.dat refused"}) {
        EXPECT_NE(result.errors.find(file), std::string::npos) << file << "\n" << result.errors;
    }
}

// A start that cannot succeed: each says why on stderr, exits with 1 and leaves the files that a
// successful run wrote exactly as they were.
struct FailedStart {
    const char* name;
    std::vector<std::string> arguments;
    void (*breakFolder)(const fs::path& folder);
    std::vector<std::pair<std::string, std::string>> environment;
    std::vector<std::string> unsetEnvironment;
    bool unprivileged;
    const char* message;
};

void WriteList(const fs::path& folder, const char* text) { std::ofstream(folder / "data/scripts/list.dat") << text; }

const FailedStart kFailedStarts[] = {
    {"NoScriptList", {"--windowed"}, [](const fs::path& folder) { fs::remove(folder / "data/scripts/list.dat"); }, {},
     {}, false, "cannot load the script list Data\\Scripts\\list.dat"},
    {"ListedScriptMissing", {"--windowed"},
     [](const fs::path& folder) { WriteList(folder, "main t_system\nghost t_level\n"); }, {}, {}, false,
     "the script file Data\\Scripts\\ghost.lua it names is missing"},
    {"NoMainScript",
     {"--windowed"},
     [](const fs::path& folder) {
         fs::rename(folder / "data/scripts/main.lua", folder / "data/scripts/other.lua");
         WriteList(folder, "other t_system interface\n");
     },
     {}, {}, false, "names no script \"main\""},
    {"NoWindow", {"--windowed"}, [](const fs::path&) {}, {{"SDL_VIDEODRIVER", "x11"}}, {"DISPLAY", "WAYLAND_DISPLAY"},
     false, "cannot open the game window"},
    {"NoDisplayForTheLauncher", {}, [](const fs::path&) {}, {}, {"DISPLAY", "WAYLAND_DISPLAY"}, false,
     "cannot show the launcher: no display"},
    {"UnwritableWorkingFolder",
     {"--windowed"},
     [](const fs::path& folder) {
         fs::permissions(folder, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                         fs::perm_options::remove);
     },
     {}, {}, true, "cannot write config.cfg"},
};

void PrintTo(const FailedStart& failure, std::ostream* out) { *out << failure.name; }

class FailedStartTest : public ProgramTest, public ::testing::WithParamInterface<FailedStart> {};

TEST_P(FailedStartTest, SaysWhyExitsNonZeroAndOverwritesNothing) {
    const FailedStart& failure = GetParam();
    ASSERT_EQ(Run().exitCode, 0);
    const std::string settings = Bytes("config.cfg");
    const std::string bindings = Bytes("Actions.cfg");
    failure.breakFolder(Folder());

    ProgramRun run;
    run.folder = Folder();
    run.arguments = failure.arguments;
    run.environment = {{"VX_FRAMES", "10"}, {"SDL_VIDEODRIVER", kVideoDriver}};
    run.environment.insert(run.environment.end(), failure.environment.begin(), failure.environment.end());
    run.unsetEnvironment = failure.unsetEnvironment;
    run.unprivileged = failure.unprivileged;
    const ProgramResult result = apptest::RunProgram(run);
    fs::permissions(Folder(), fs::perms::owner_all, fs::perm_options::add);

    EXPECT_EQ(result.exitCode, 1) << result.errors;
    EXPECT_NE(result.errors.find(failure.message), std::string::npos) << result.errors;
    EXPECT_EQ(Bytes("config.cfg"), settings);
    EXPECT_EQ(Bytes("Actions.cfg"), bindings);
}

INSTANTIATE_TEST_SUITE_P(Cases, FailedStartTest, ::testing::ValuesIn(kFailedStarts),
                         [](const ::testing::TestParamInfo<FailedStart>& info) { return info.param.name; });

}  // namespace
