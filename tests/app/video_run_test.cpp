// A run of the real program whose script plays a video: the end of the video reaches the script
// once, and the player leaves nothing behind at exit.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "ProgramRun.h"
#include "WorkingFolder.h"
#include "platform/VideoWriter.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

// Plays the video at once; writes a line for every "video_end" and ends the game a few frames
// after the first.
constexpr char kMainScript[] = R"(
local ends = 0
local after = 0
PlayVideo("short.ogg")
while true do
    while SetNextCommand(globalObject) do
        if GetCurrentCommand(globalObject) == "video_end" then
            ends = ends + 1
            local file = io.open("video_end.txt", "a")
            file:write("video_end\n")
            file:close()
        end
    end
    if ends > 0 then
        after = after + 1
        if after > 10 then KillAllTasks() end
    end
    Update()
end
)";

TEST(VideoRunTest, TheScriptHearsTheEndOfItsVideoOnceAndTheGameEndsCleanly) {
    testsupport::TempDir folder;
    testsupport::CopyGameFolder(VX_SAMPLE_DATA, folder.Path());
    std::ofstream(folder / "data/scripts/main.lua") << kMainScript;
    platform::ColourVideo video;
    video.colours = {0x808080u};  // one second
    std::string error;
    ASSERT_TRUE(platform::WriteColourVideo((folder / "data/video/short.ogg").string(), video, error)) << error;

    apptest::ProgramRun run;
    run.folder = folder.Path();
    run.environment = {{"VX_LOG", "stderr"}, {"SDL_VIDEODRIVER", "offscreen"}, {"VX_MEDIA_SILENT", "1"}};
    const apptest::ProgramResult result = apptest::RunProgram(run);
    ASSERT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(apptest::ReadBytes(folder / "video_end.txt"), "video_end\n");
    EXPECT_EQ(result.errors.find("DXError"), std::string::npos) << result.errors;
    EXPECT_EQ(result.errors.find("Удаленный объект"), std::string::npos) << result.errors;
}

}  // namespace
