// The command line, the start choice it stands for, and the game window's size.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <regex>
#include <string>
#include <vector>

#include "WorkingFolder.h"
#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/Launcher.h"
#include "app/StartChoice.h"
#include "core/PSettings.h"
#include "core/Result.h"
#include "core/SettingsVariables.h"
#include "platform/PathResolver.h"
#include "platform/Window.h"

namespace {

struct Arguments {
    std::vector<const char*> argv;
    bool startChosen;
    bool fullScreen;
    bool help;
    bool error;
};

void PrintTo(const Arguments& arguments, std::ostream* out) {
    for (const char* argument : arguments.argv) *out << argument << ' ';
}

class CommandLineTest : public ::testing::TestWithParam<Arguments> {};

TEST_P(CommandLineTest, Parses) {
    std::vector<const char*> argv{"vexmoor"};
    argv.insert(argv.end(), GetParam().argv.begin(), GetParam().argv.end());
    const SPCommandLine line = ParseCommandLine(static_cast<int>(argv.size()), argv.data());
    EXPECT_EQ(line.startChosen, GetParam().startChosen);
    EXPECT_EQ(line.fullScreen, GetParam().fullScreen);
    EXPECT_EQ(line.help, GetParam().help);
    EXPECT_EQ(!line.error.empty(), GetParam().error) << line.error;
}

INSTANTIATE_TEST_SUITE_P(Switches, CommandLineTest,
                         ::testing::Values(Arguments{{}, false, false, false, false},
                                           Arguments{{"--windowed"}, true, false, false, false},
                                           Arguments{{"--fullscreen"}, true, true, false, false},
                                           Arguments{{"--fullscreen", "--windowed"}, true, true, false, true},
                                           Arguments{{"--windowed", "--windowed"}, true, false, false, false},
                                           Arguments{{"-h"}, false, false, true, false},
                                           Arguments{{"--help"}, false, false, true, false},
                                           Arguments{{"--full"}, false, false, false, true},
                                           Arguments{{"fullscreen"}, false, false, false, true}));

// Every environment variable the playing guide's list names (a line "- `VX_...`") is in the help.
TEST(CommandLineHelpTest, ListsEveryEnvironmentVariableOfThePlayingGuide) {
    const std::string guide = apptest::ReadBytes(VX_PLAYING_GUIDE);
    const std::regex listed(R"(\n- `(VX_[A-Z_]+))");
    std::vector<std::string> names;
    for (std::sregex_iterator it(guide.begin(), guide.end(), listed), end; it != end; ++it) {
        names.push_back((*it)[1]);
    }
    EXPECT_GE(names.size(), 8u) << "the playing guide's environment list moved";
    const std::string help = CommandLineHelp();
    for (const std::string& name : names) EXPECT_NE(help.find("  " + name + "="), std::string::npos) << name;
}

// A working folder that holds game data (a script list).
class StartChoiceTest : public ::testing::Test {
protected:
    void SetUp() override { m_folder.Write("data/scripts/list.dat", "main t_system\n"); }

    apptest::WorkingFolder m_folder;
    CPSettings m_settings;
};

TEST_F(StartChoiceTest, AFolderWithoutGameDataStartsNothingAndKeepsNoConfig) {
    std::filesystem::remove_all(m_folder.Path() / "data");
    platform::InvalidateListings();
    std::string error;
    EXPECT_FALSE(ApplyStartChoice(true, error));
    EXPECT_NE(error.find("holds no game data"), std::string::npos) << error;
    CPLauncherButtons start;
    EXPECT_TRUE(start.OnButton(platform::LauncherButton::StartWindowed));
    EXPECT_NE(start.Failure().find("holds no game data"), std::string::npos) << start.Failure();
    EXPECT_FALSE(std::filesystem::exists(m_folder.Path() / "config.cfg"));
}

TEST_F(StartChoiceTest, SavesTheChoiceWithTheSettingsItFinds) {
    m_folder.Write("config.cfg", "screenWidth = 800\n");
    std::string error;
    ASSERT_TRUE(ApplyStartChoice(true, error)) << error;
    const std::string saved = apptest::ReadBytes(m_folder.Path() / "config.cfg");
    EXPECT_NE(saved.find("fullScreen = 1\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("screenWidth = 800\r\n"), std::string::npos) << saved;
}

TEST_F(StartChoiceTest, CreatesAMissingConfigWithTheDefaults) {
    std::string error;
    ASSERT_TRUE(ApplyStartChoice(false, error)) << error;
    const std::string saved = apptest::ReadBytes(m_folder.Path() / "config.cfg");
    EXPECT_NE(saved.find("fullScreen = 0\r\n"), std::string::npos) << saved;
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 20) << "every setting: " << saved;
}

TEST_F(StartChoiceTest, FailsWithAReasonWhenConfigCannotBeWritten) {
    std::filesystem::create_directory(m_folder.Path() / "config.cfg");
    platform::InvalidateListings();
    std::string error;
    EXPECT_FALSE(ApplyStartChoice(true, error));
    EXPECT_NE(error.find("config.cfg"), std::string::npos) << error;
}

// The launcher's buttons: a start saves the window mode with the settings in memory (the
// launcher loaded config.cfg before) and ends the launcher; Options keeps it open; Exit ends it
// without writing anything.
TEST_F(StartChoiceTest, TheLauncherButtonsSaveTheStartChoiceOrNothing) {
    g_screenWidth = 1024;
    CPLauncherButtons exit;
    EXPECT_TRUE(exit.OnButton(platform::LauncherButton::Exit));
    EXPECT_FALSE(std::filesystem::exists(m_folder.Path() / "config.cfg"));

    for (const bool fullScreen : {true, false}) {
        CPLauncherButtons buttons;
        EXPECT_TRUE(buttons.OnButton(fullScreen ? platform::LauncherButton::StartFullScreen
                                                : platform::LauncherButton::StartWindowed));
        EXPECT_TRUE(buttons.Failure().empty()) << buttons.Failure();
        const std::string saved = apptest::ReadBytes(m_folder.Path() / "config.cfg");
        EXPECT_NE(saved.find(fullScreen ? "fullScreen = 1\r\n" : "fullScreen = 0\r\n"), std::string::npos) << saved;
        EXPECT_NE(saved.find("screenWidth = 1024\r\n"), std::string::npos) << saved;
    }

    std::filesystem::remove(m_folder.Path() / "config.cfg");
    std::filesystem::create_directory(m_folder.Path() / "config.cfg");
    platform::InvalidateListings();
    CPLauncherButtons refused;
    EXPECT_TRUE(refused.OnButton(platform::LauncherButton::StartWindowed));
    EXPECT_NE(refused.Failure().find("cannot write config.cfg"), std::string::npos) << refused.Failure();
}

TEST(AppWindowTest, TheClientAreaIsExactlyTheConfiguredSize) {
    CPApplication application;
    std::string error;
    ASSERT_EQ(application.CreateAppWindow(true, 320, 200, "Vexmoor", error), S_OK) << error;
    EXPECT_EQ(application.GetWindow()->ClientWidth(), 320);
    EXPECT_EQ(application.GetWindow()->ClientHeight(), 200);
}

TEST(AppWindowTest, AWindowThatCannotOpenIsAFailureWithAReason) {
    CPApplication application;
    std::string error;
    EXPECT_EQ(application.CreateAppWindow(true, 0, 0, "Vexmoor", error), E_FAIL);
    EXPECT_EQ(application.GetWindow(), nullptr);
    EXPECT_FALSE(error.empty());
}

}  // namespace
