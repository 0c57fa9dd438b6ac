// The launcher of the real program on a display of the test's own, clicked as a user would.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "PrivateDisplay.h"
#include "ProgramRun.h"
#include "WorkingFolder.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using apptest::PrivateDisplay;
using apptest::ProgramResult;
using apptest::ProgramRun;
using apptest::StartedProgram;

constexpr char kProgram[] = "vexmoor";  // the window class of its windows
constexpr char kTitle[] = "Vexmoor";
constexpr auto kPatience = std::chrono::seconds(60);

// The launcher's four buttons share its bottom row equally, in this order.
enum class Button { StartFullScreen, StartWindowed, Options, Exit };

class LauncherTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(m_display.Name().empty()) << "Xvfb did not start";
        fs::copy(VX_SAMPLE_DATA, m_folder.Path(), fs::copy_options::recursive);
        fs::permissions(m_runtime.Path(), fs::perms::owner_all);
    }

    // A plain start: no switch, so the launcher opens.
    ProgramRun PlainStart() const {
        ProgramRun run;
        run.arguments.clear();
        run.folder = m_folder.Path();
        run.runtimeFolder = m_runtime.Path();
        run.environment = {{"DISPLAY", m_display.Name()}, {"VX_LOG", "stderr"}};
        run.unsetEnvironment = {"WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};
        return run;
    }

    // Waits while the program runs until the launcher shows, and returns its window.
    std::string WaitForLauncher(StartedProgram& program) const { return WaitForWindow(program, ""); }

    // Waits while the program runs for a window of it other than the one given.
    std::string WaitForWindow(StartedProgram& program, const std::string& other) const {
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (!program.Ended() && std::chrono::steady_clock::now() < deadline) {
            for (const std::string& window : m_display.Windows(kProgram)) {
                if (window != other) return window;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return "";
    }

    void Click(const std::string& launcher, Button button) const {
        const PrivateDisplay::Geometry window = m_display.WindowGeometry(launcher);
        const int column = static_cast<int>(button);
        m_display.Click(window.x + window.width * (2 * column + 1) / 8, window.y + window.height - 20);
    }

    std::string Config() const { return apptest::ReadBytes(m_folder.Path() / "config.cfg"); }

    PrivateDisplay m_display;
    testsupport::TempDir m_folder;
    testsupport::TempDir m_runtime;
};

TEST_F(LauncherTest, StartInWindowedModeOpensTheGameWindow) {
    StartedProgram program(PlainStart());
    const std::string launcher = WaitForLauncher(program);
    ASSERT_FALSE(launcher.empty()) << m_display.Name() << ": " << program.Wait().errors;
    EXPECT_EQ(m_display.WindowName(launcher), kTitle);
    const PrivateDisplay::Geometry dialog = m_display.WindowGeometry(launcher);
    EXPECT_GT(dialog.width, dialog.height);
    EXPECT_EQ(dialog.x, (1280 - dialog.width) / 2) << "in the middle of the screen";

    Click(launcher, Button::StartWindowed);
    const std::string game = WaitForWindow(program, launcher);
    ASSERT_FALSE(game.empty()) << program.Wait().errors;
    EXPECT_EQ(m_display.WindowName(game), kTitle);
    EXPECT_EQ(m_display.Windows(kProgram), std::vector<std::string>{game}) << "the launcher has gone";
    const PrivateDisplay::Geometry window = m_display.WindowGeometry(game);
    EXPECT_EQ(window.width, 640);
    EXPECT_EQ(window.height, 480);
    EXPECT_NE(Config().find("fullScreen = 0\r\n"), std::string::npos) << "saved before the game started";

    kill(program.Pid(), SIGTERM);  // as closing the window would
    const ProgramResult result = program.Wait();
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_TRUE(m_display.Windows(kProgram).empty());
}

TEST_F(LauncherTest, WhileOneCopyShowsTheLauncherASecondEndsAtOnce) {
    const std::string settings = "screenWidth = 320\n";
    std::ofstream(m_folder.Path() / "config.cfg") << settings;
    StartedProgram first(PlainStart());
    const std::string launcher = WaitForLauncher(first);
    ASSERT_FALSE(launcher.empty()) << m_display.Name() << ": " << first.Wait().errors;

    const ProgramResult second = apptest::RunProgram(PlainStart());
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_NE(second.errors.find("another copy of the game is already running"), std::string::npos) << second.errors;
    EXPECT_EQ(m_display.Windows(kProgram), std::vector<std::string>{launcher});

    Click(launcher, Button::Exit);
    const ProgramResult result = first.Wait();
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(Config(), settings) << "Exit and the refused copy leave config.cfg alone";
}

// A start that fails shows why in a message dialog titled like the game (over the launcher, or
// after it when the game itself could not start); its OK button ends the program with 1.
struct FailedLauncherStart {
    const char* name;
    void (*breakFolder)(const fs::path& folder);
    const char* reason;
    bool writesConfig;  // the folder holds game data, so the start button saved the choice
};

void PrintTo(const FailedLauncherStart& start, std::ostream* out) { *out << start.name; }

class FailedLauncherStartTest : public LauncherTest, public ::testing::WithParamInterface<FailedLauncherStart> {};

TEST_P(FailedLauncherStartTest, ShowsTheReasonInAMessageDialog) {
    GetParam().breakFolder(m_folder.Path());
    StartedProgram program(PlainStart());
    const std::string launcher = WaitForLauncher(program);
    ASSERT_FALSE(launcher.empty()) << m_display.Name() << ": " << program.Wait().errors;
    Click(launcher, Button::StartWindowed);

    const std::string message = WaitForWindow(program, launcher);
    ASSERT_FALSE(message.empty()) << program.Wait().errors;
    EXPECT_EQ(m_display.WindowName(message), kTitle);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the dialog has drawn its button
    const PrivateDisplay::Geometry dialog = m_display.WindowGeometry(message);
    m_display.Click(dialog.x + dialog.width - 35, dialog.y + dialog.height - 22);  // OK
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!program.Ended() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const ProgramResult result = program.Wait();
    EXPECT_EQ(result.exitCode, 1) << "OK ends the program";
    EXPECT_NE(result.errors.find(GetParam().reason), std::string::npos) << result.errors;
    EXPECT_EQ(fs::exists(m_folder.Path() / "config.cfg"), GetParam().writesConfig);
}

const FailedLauncherStart kFailedLauncherStarts[] = {
    {"NoGameData", [](const fs::path& folder) { fs::remove_all(folder / "data"); }, "holds no game data", false},
    // The game itself fails before its window opens, after the launcher has gone.
    {"ListedScriptMissing",
     [](const fs::path& folder) { std::ofstream(folder / "data/scripts/list.dat") << "main t_system\nghost t_level\n"; },
     "the script file Data\\Scripts\\ghost.lua it names is missing", true},
};

INSTANTIATE_TEST_SUITE_P(Cases, FailedLauncherStartTest, ::testing::ValuesIn(kFailedLauncherStarts),
                         [](const ::testing::TestParamInfo<FailedLauncherStart>& info) { return info.param.name; });

}  // namespace
