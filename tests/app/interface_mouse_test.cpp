// The sample menu worked by real mouse events (xdotool) on an X server of the test's own: the
// game's cursor starts at the top-left corner and moves by the mouse's relative motion.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
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
using apptest::ProgramRun;
using apptest::StartedProgram;

constexpr auto kPatience = std::chrono::seconds(30);

// The screen's script is replaced by one that writes every command it gets to menu.log, and a
// script of the category "interface" writes what that category hears to interface.log.
constexpr char kRecorder[] = R"(
local log = io.open(LOG, "w")
while true do
  while SetNextCommand(globalObject) do
    local line = GetCurrentCommand(globalObject) .. "("
    local params = { GetCurrentParams(globalObject) }
    line = line .. table.concat(params, ",") .. ")"
    log:write(line .. "\n")
    log:flush()
  end
  Update()
end
)";

class InterfaceMouseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(m_display.Name().empty()) << "Xvfb did not start";
        testsupport::CopyGameFolder(VX_SAMPLE_DATA, m_folder.Path());
        fs::permissions(m_runtime.Path(), fs::perms::owner_all);
        Write("data/scripts/menu.lua", "LOG = 'menu.log'\n" + std::string(kRecorder));
        Write("data/scripts/listener.lua", "LOG = 'interface.log'\n" + std::string(kRecorder));
        std::ofstream(m_folder.Path() / "data/scripts/list.dat", std::ios::app) << "listener t_interface interface\n";
    }
    void Write(const std::string& relative, const std::string& text) {
        std::ofstream(m_folder.Path() / relative, std::ios::binary) << text;
    }
    ProgramRun Run() const {
        ProgramRun run;
        run.folder = m_folder.Path();
        run.runtimeFolder = m_runtime.Path();
        run.environment = {{"DISPLAY", m_display.Name()}, {"VX_LOG", "stderr"}};
        run.unsetEnvironment = {"WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};
        return run;
    }
    std::vector<std::string> Lines(const std::string& log) const {
        std::ifstream file(m_folder.Path() / log);
        std::vector<std::string> lines;
        for (std::string line; std::getline(file, line);) lines.push_back(line);
        return lines;
    }
    // Waits until the log holds a line starting with the text; that line, or "".
    std::string WaitFor(const std::string& log, const std::string& start) const {
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (std::chrono::steady_clock::now() < deadline) {
            const std::vector<std::string> lines = Lines(log);
            for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
                if (line->rfind(start, 0) == 0) return *line;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return "";
    }
    std::string WaitForWindow(StartedProgram& program) const {
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (!program.Ended() && std::chrono::steady_clock::now() < deadline) {
            const std::vector<std::string> windows = m_display.Windows("vexmoor");
            if (!windows.empty()) return windows.front();
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return "";
    }
    // The cursor in pixels of the 640 × 480 window, from the latest "mouse_move".
    static bool CursorOf(const std::string& line, float& x, float& y) {
        float fx = 0.0f, fy = 0.0f;
        if (std::sscanf(line.c_str(), "mouse_move(%f,%f)", &fx, &fy) != 2) return false;
        x = fx * 640.0f;
        y = fy * 480.0f;
        return true;
    }

    PrivateDisplay m_display;
    testsupport::TempDir m_runtime;
    testsupport::TempDir m_folder;
};

TEST_F(InterfaceMouseTest, HoveringAndClickingTheSampleMenusPlayButton) {
    StartedProgram program(Run());
    const std::string window = WaitForWindow(program);
    ASSERT_FALSE(window.empty()) << program.Wait().errors;
    m_display.Xdotool("windowactivate --sync " + window);
    m_display.Xdotool("key --window " + window + " Tab");
    ASSERT_FALSE(WaitFor("menu.log", "add_object(").empty()) << "the menu opens";

    m_display.Xdotool("mousemove_relative -- 20 10");
    float x = 0.0f, y = 0.0f;
    ASSERT_TRUE(CursorOf(WaitFor("interface.log", "mouse_move("), x, y));
    EXPECT_NEAR(x, 20.0f, 1.0f) << "from the corner by the motion";
    EXPECT_NEAR(y, 10.0f, 1.0f);

    // The button "play" spans 200..440 × 156..216 on a 640 × 480 screen.
    m_display.Xdotool("mousemove_relative -- " + std::to_string(320 - static_cast<int>(x)) + " " +
                      std::to_string(186 - static_cast<int>(y)));
    ASSERT_FALSE(WaitFor("interface.log", "mouse_move(0.5").empty());
    m_display.Xdotool("click 1");
    ASSERT_FALSE(WaitFor("menu.log", "button(").empty());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    int clicks = 0;
    for (const std::string& line : Lines("menu.log")) clicks += line == "button(play)" ? 1 : 0;
    EXPECT_EQ(clicks, 1);
    // The title's banner is not in the layout yet: no window is hovered on its own here.
    kill(program.Pid(), SIGTERM);
    program.Wait();
}

}  // namespace
