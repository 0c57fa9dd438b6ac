// A run of the real program on the sample data is heard: its sounds and music load, the sound
// device mixes them, and without a sound device the game runs silently.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "ProgramRun.h"
#include "WorkingFolder.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using apptest::ProgramResult;
using apptest::ProgramRun;

class SoundRunTest : public ::testing::Test {
protected:
    void SetUp() override { testsupport::CopyGameFolder(VX_SAMPLE_DATA, folder_.Path()); }

    ProgramResult Run(const std::string& drivers, bool logged = true) {
        ProgramRun run;
        run.folder = folder_.Path();
        run.environment = {{"VX_FRAMES", "30"},
                           {"SDL_VIDEODRIVER", "offscreen"},
                           {"ALSOFT_DRIVERS", drivers},
                           {"ALSOFT_CONF", config_.string()}};
        if (logged) run.environment.push_back({"VX_LOG", "stderr"});
        return apptest::RunProgram(run);
    }

    // The loudest sample that the wave-file backend wrote (16-bit output).
    int Loudest() const {
        const std::string bytes = apptest::ReadBytes(output_);
        const size_t data = bytes.find("data");
        if (data == std::string::npos) return -1;
        int loudest = 0;
        for (size_t i = data + 8; i + 1 < bytes.size(); i += 2) {
            int16_t sample = 0;
            std::memcpy(&sample, &bytes[i], 2);
            loudest = std::max(loudest, std::abs(static_cast<int>(sample)));
        }
        return loudest;
    }

    testsupport::TempDir folder_;
    testsupport::TempDir outputFolder_;
    fs::path output_ = outputFolder_ / "heard.wav";
    fs::path config_ = [this] {
        const fs::path path = outputFolder_ / "alsoft.conf";
        // ALSA's output, when asked for, is a device that no machine has: the libraries complain.
        std::ofstream(path) << "[general]\nsample-type = int16\n[wave]\nfile = " << output_.string()
                            << "\n[alsa]\ndevice = vx-no-such-device\n";
        return path;
    }();
};

TEST_F(SoundRunTest, TheSampleGameLoadsItsSoundsAndMusicAndIsHeard) {
    const ProgramResult result = Run("wave");
    ASSERT_EQ(result.exitCode, 0) << result.errors;
    for (const char* failure : {"No sound device", "refused", "is silent", "cannot be played", "Music "}) {
        EXPECT_EQ(result.errors.find(failure), std::string::npos) << failure << " in " << result.errors;
    }
    EXPECT_GT(Loudest(), 3000) << "the bang at the start is in the mixed output";
}

TEST_F(SoundRunTest, WithoutASoundDeviceTheGameRunsSilentlyAndSaysSoOnce) {
    const ProgramResult result = Run("no-such-backend");
    ASSERT_EQ(result.exitCode, 0) << result.errors;
    const size_t first = result.errors.find("No sound device");
    ASSERT_NE(first, std::string::npos) << result.errors;
    EXPECT_EQ(result.errors.find("No sound device", first + 1), std::string::npos) << result.errors;
}

TEST_F(SoundRunTest, WithoutASoundCardTheSoundLibrariesSpeakOnlyThroughTheLog) {
    const ProgramResult quiet = Run("alsa", false);
    ASSERT_EQ(quiet.exitCode, 0) << quiet.errors;
    EXPECT_EQ(quiet.errors.find("ALSA lib"), std::string::npos) << quiet.errors;
    EXPECT_EQ(quiet.errors.find("AL lib"), std::string::npos) << quiet.errors;

    const ProgramResult logged = Run("alsa");
    ASSERT_EQ(logged.exitCode, 0) << logged.errors;
    EXPECT_NE(logged.errors.find("ALSA lib pcm"), std::string::npos) << logged.errors;
    EXPECT_NE(logged.errors.find("vx-no-such-device"), std::string::npos) << logged.errors;
    EXPECT_NE(logged.errors.find("AL lib"), std::string::npos) << logged.errors;
    EXPECT_NE(logged.errors.find("No sound device"), std::string::npos) << logged.errors;
}

}  // namespace
