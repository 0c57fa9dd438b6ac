// The sample game's menu over a mission and its autosave, played by the real program on the
// sample data with recorded keys: Escape in a mission pauses it under the main menu (the picture
// stands still, nothing of the mission is lost), Escape again goes on, the menu's Quit ends the
// game; a finished mission is saved into the autosave slot.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "InputTimeline.h"
#include "ProgramRun.h"
#include "ScriptRecorder.h"
#include "WorkingFolder.h"
#include "core/Scramble.h"
#include "game/PSaveGame.h"

namespace {

using apptest::InputTimeline;

// In place of the mission's rules: the mission is finished on the script's FINISH-th pass.
constexpr char kFinishingLevel[] = R"(
local function HandleCommand(command, first, second)
end
local passes = 0
while true do
  while SetNextCommand(globalObject) do
    HandleCommand(GetCurrentCommand(globalObject), GetCurrentParams(globalObject))
  end
  passes = passes + 1
  if passes == FINISH then SendCommandByName("main", "mission_complete", "") end
  Update()
end
)";

class SamplePauseTest : public ::testing::Test {
protected:
    void SetUp() override { apptest::CopyGameFolder(VX_SAMPLE_DATA, m_folder.Path()); }

    // Plays level1 from the start of its mission with the input; pictures of the frames named.
    apptest::ProgramResult Play(const InputTimeline& input, const std::vector<std::pair<std::string, int>>& shots) {
        std::string error;
        EXPECT_TRUE(apptest::RecordScripts(m_folder, {"main", "menu", "level"}, {}, error)) << error;
        m_folder.Write("play.rec", input.Encode());
        std::string screenshots;
        for (const auto& [name, frame] : shots) {
            if (!screenshots.empty()) screenshots += ';';
            screenshots += (m_folder.Path() / (name + ".png")).string() + ":" + std::to_string(frame);
        }
        apptest::ProgramRun run;
        run.folder = m_folder.Path();
        run.timeLimit = std::chrono::seconds(180);
        run.environment = {{"VX_REPLAY", "play.rec"},      {"VX_FRAME_TIME", "0.05"}, {"VX_SEED", "3"},
                           {"VX_LEVEL", "level1"},         {"VX_LOG", "stderr"},     {"VX_MEDIA_SILENT", "1"},
                           {"VX_SCREENSHOT", screenshots}, {"VX_FRAMES", "400"},     {"SDL_VIDEODRIVER", "offscreen"}};
        return apptest::RunProgram(run);
    }

    std::vector<std::string> Heard() const { return apptest::RecordedLines(m_folder); }
    // The index of the first recorded line from `from` on that starts with the text; -1 without.
    int Find(const std::string& start, int from = 0) const {
        const std::vector<std::string> lines = Heard();
        for (int i = std::max(from, 0); i < static_cast<int>(lines.size()); ++i) {
            if (lines[i].rfind(start, 0) == 0) return i;
        }
        return -1;
    }
    std::string Picture(const std::string& name) const { return apptest::ReadBytes(m_folder.Path() / (name + ".png")); }

    apptest::WorkingFolder m_folder;
};

// Escape on pass 20 opens the menu, the game stands still under it (two pictures taken passes
// apart are the same while the car was driving), Escape goes on; Escape opens it again, Down
// twice chooses Quit and Space presses it: the game ends long before its last frame.
TEST_F(SamplePauseTest, EscapeInAMissionPausesUnderTheMenuWhoseQuitEndsTheGame) {
    InputTimeline input;
    input.Hold(5, "Up", 100).Press(20, "Esc").Press(40, "Esc").Press(60, "Esc").Press(64, "Down").Press(68, "Down").Press(72, "Space");
    const apptest::ProgramResult result =
        Play(input, {{"driving", 18}, {"paused", 26}, {"still", 36}, {"going", 46}, {"late", 150}});
    ASSERT_EQ(result.exitCode, 0) << result.errors;

    const int opened = Find("menu,add_object,");
    ASSERT_GE(opened, 0) << "the menu opened";
    const int closed = Find("menu,delete_object,", opened);
    ASSERT_GT(closed, opened) << "and closed on Escape";
    const int again = Find("menu,add_object,", closed);
    ASSERT_GT(again, closed) << "and opened again";
    EXPECT_GT(Find("menu,key_action,fire,1", again), again) << "Space pressed the chosen button";
    EXPECT_EQ(Find("main,mission_complete"), -1);

    EXPECT_FALSE(Picture("paused").empty());
    EXPECT_EQ(Picture("paused"), Picture("still")) << "nothing moves under the menu";
    EXPECT_NE(Picture("driving"), Picture("going"));
    EXPECT_NE(Picture("still"), Picture("going")) << "the game goes on after Escape";
    EXPECT_TRUE(Picture("late").empty()) << "Quit ended the game at once";
}

// The finished mission is in the autosave, slot 13: the next mission with the mission's pay.
TEST_F(SamplePauseTest, AFinishedMissionIsSavedIntoTheAutosave) {
    std::string level = kFinishingLevel;
    level.replace(level.find("FINISH"), 6, "30");
    m_folder.Write("data/scripts/level.lua", level);
    InputTimeline input;
    input.Press(80, "Esc");
    const apptest::ProgramResult result = Play(input, {});
    ASSERT_EQ(result.exitCode, 0) << result.errors;
    ASSERT_GE(Find("main,mission_complete"), 0);

    const std::string file = apptest::ReadBytes(m_folder.Path() / "data/Saves/save13.sav");
    ASSERT_FALSE(file.empty()) << "the autosave is written";
    std::vector<uint8_t> bytes(file.begin(), file.end());
    Unscramble(bytes);
    SPSaveGame save;
    std::string error;
    ASSERT_TRUE(ReadSaveGame(bytes.data(), bytes.size(), save, error)) << error;
    EXPECT_EQ(save.mission, 2) << "the next mission";
    EXPECT_GE(save.money, 1000) << "with the mission's pay";
}

}  // namespace
