// The named sounds of Sounds.dat, the bank, and how playing, stopping and rewinding behave.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/PLog.h"
#include "core/PMMObject.h"
#include "core/SettingsVariables.h"
#include "Sound/NAudio.h"
#include "Sound/sound_fixture.h"

namespace {

using soundtest::PcmWave16;

std::vector<int16_t> Hum(size_t frames, int channels) {
    std::vector<int16_t> samples(frames * channels);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int16_t>(8000.0 * std::sin(i * 0.1));
    return samples;
}

// Waits until the sound's position has passed the frame (at most a few seconds).
bool WaitForPosition(const CNSound& sound, int32_t frame) {
    for (int i = 0; i < 500 && sound.GetPlayPosition() <= frame; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return sound.GetPlayPosition() > frame;
}

class SoundRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        soundtest::WriteFile(folder_, "data/sounds/mono.wav", PcmWave16(1, 22050, Hum(22050, 1)));
        soundtest::WriteFile(folder_, "data/sounds/stereo.wav", PcmWave16(2, 22050, Hum(2205, 2)));
    }
    void TearDown() override {
        audio_.reset();
        CollectGarbage();
    }
    CNAudio& Open(const std::string& registry) {
        folder_.Write("data/sounds/sounds.dat", registry);
        audio_ = std::make_unique<CNAudio>();
        audio_->Init(nullptr);
        EXPECT_TRUE(audio_->HasDevice());
        return *audio_;
    }

    testsupport::WorkingFolder folder_;
    std::unique_ptr<CNAudio> audio_;
};

TEST_F(SoundRegistryTest, SoundsDatNamesSoundsAndTheirKind) {
    CNAudio& audio = Open(
        "// name;file;kind\n"
        "flat;mono.wav\n"
        "placed;mono.wav;3D\n"
        "blank;mono.wav;3 d\n"
        "empty;mono.wav;\n"
        "\"quoted;name\";mono.wav;3d\n"
        "twice;mono.wav;3d\n"
        "twice;stereo.wav\n"
        "missing;none.wav;3d\n");
    EXPECT_EQ(audio.GetRegistrySize(), 7u);
    const struct {
        const char* name;
        bool is3D;
    } kinds[] = {{"flat", false}, {"placed", true}, {"blank", false}, {"empty", false}, {"quoted;name", true}};
    for (const auto& kind : kinds) {
        TPtr<CNSound> sound = audio.GetSound(kind.name);
        ASSERT_TRUE(sound) << kind.name;
        EXPECT_TRUE(sound->HasBuffer()) << kind.name;
        EXPECT_EQ(sound->Is3D(), kind.is3D) << kind.name;
    }
    EXPECT_NE(audio.GetSound("flat"), audio.GetSound("blank")) << "every line loads its own sound";
    EXPECT_EQ(audio.GetSound("twice")->GetDataSize(), 2205u * 4) << "the later line wins";
    EXPECT_EQ(audio.GetSound("placed")->GetMinDistance(), 40.0f);
    EXPECT_EQ(audio.GetSound("placed")->GetMaxDistance(), 50.0f);
    ASSERT_TRUE(audio.GetSound("missing"));
    EXPECT_FALSE(audio.GetSound("missing")->HasBuffer()) << "an unreadable file gives a silent sound";

    EXPECT_FALSE(audio.GetSound("unknown"));
    EXPECT_FALSE(audio.GetSound("unknown"));
    EXPECT_EQ(audio.GetRegistrySize(), 8u) << "an unknown name is entered once";
}

TEST_F(SoundRegistryTest, TheBankMakesANewSoundForEveryLoad) {
    CNAudio& audio = Open("");
    TPtr<CNSound> first = audio.LoadSound("mono.wav", false);
    TPtr<CNSound> second = GetSoundBank()->Load("mono.wav", false, false);
    ASSERT_TRUE(first && second);
    EXPECT_NE(first, second);
    EXPECT_FALSE(GetSoundBank()->Find("mono.wav"));
}

TEST_F(SoundRegistryTest, A3DSoundMustBeMonoAndAStereoOneStaysSilentWithAReport) {
    CNAudio& audio = Open("");
    GetLog()->SetEnabled(true);
    ::testing::internal::CaptureStderr();
    TPtr<CNSound> sound = audio.LoadSound("stereo.wav", true);
    const std::string log = ::testing::internal::GetCapturedStderr();
    GetLog()->SetEnabled(false);
    EXPECT_FALSE(sound->HasBuffer());
    EXPECT_NE(log.find("Sound Data\\Sounds\\stereo.wav is silent: a 3D sound must be mono"), std::string::npos) << log;
    sound->Play(0, CNSound::kPlayLooping);
    EXPECT_FALSE(sound->IsPlaying());
}

TEST_F(SoundRegistryTest, PlayGoesOnStopKeepsThePlaceAndRewindGoesBackToTheStart) {
    CNAudio& audio = Open("hum;mono.wav\n");
    TPtr<CNSound> sound = audio.GetSound("hum");
    sound->Play(0, 0);
    ASSERT_TRUE(WaitForPosition(*sound, 2000));
    const int32_t playing = sound->GetPlayPosition();
    sound->Play(0, 0);
    EXPECT_GE(sound->GetPlayPosition(), playing) << "play does not restart a playing sound";

    sound->Stop();
    EXPECT_FALSE(sound->IsPlaying());
    const int32_t stopped = sound->GetPlayPosition();
    EXPECT_GE(stopped, playing);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(sound->GetPlayPosition(), stopped) << "stop keeps the position";
    sound->Play(0, 0);
    EXPECT_TRUE(sound->IsPlaying());
    EXPECT_GE(sound->GetPlayPosition(), stopped) << "play goes on from there";

    sound->Rewind();
    EXPECT_TRUE(sound->IsPlaying()) << "rewinding a playing sound keeps it playing";
    EXPECT_LT(sound->GetPlayPosition(), stopped);
    sound->Stop();
    sound->Rewind();
    EXPECT_EQ(sound->GetPlayPosition(), 0);
    EXPECT_FALSE(sound->IsPlaying());
}

TEST_F(SoundRegistryTest, PlayingByNameRestartsAOneShotAndLeavesALoopRunning) {
    CNAudio& audio = Open("hum;mono.wav\n");
    TPtr<CNSound> sound = audio.GetSound("hum");
    audio.PlaySoundByName("hum", true);
    ASSERT_TRUE(WaitForPosition(*sound, 3000));
    const int32_t looping = sound->GetPlayPosition();
    audio.PlaySoundByName("hum", true);
    EXPECT_GE(sound->GetPlayPosition(), looping) << "a looping sound goes on";

    audio.PlaySoundByName("hum", false);
    EXPECT_TRUE(sound->IsPlaying());
    EXPECT_LT(sound->GetPlayPosition(), looping) << "a one-shot starts again from its beginning";

    audio.StopSoundByName("hum");
    EXPECT_FALSE(sound->IsPlaying());
    EXPECT_EQ(sound->GetPlayPosition(), 0);
    audio.PlaySoundByName("nobody", false);
}

TEST(SoundVolume, HundredthsOfADecibelFollowTheVolumeLawAndClamp) {
    const struct {
        float volume;
        int32_t millibels;
    } cases[] = {{1.0f, 0}, {0.5f, -437}, {0.0f, -7000}, {-0.5f, -7000}, {2.0f, 0}, {NAN, -7000}};
    for (const auto& c : cases) EXPECT_EQ(VolumeToMillibels(c.volume), c.millibels) << c.volume;
}

TEST_F(SoundRegistryTest, TheSoundVolumeSettingIsClampedAndTheFrequencyFactorIsShared) {
    CNAudio& audio = Open("");
    audio.SetSoundVolume(1.7f);
    EXPECT_EQ(g_soundVolume, 1.0f);
    EXPECT_EQ(CNSound::GetGlobalVolume(), 1.0f);
    audio.SetSoundVolume(-3.0f);
    EXPECT_EQ(g_soundVolume, 0.0f);
    audio.SetMusicVolume(4.0f);
    EXPECT_EQ(g_musicVolume, 1.0f);

    TPtr<CNSound> sound = audio.LoadSound("mono.wav", false);
    CNSound::SetFrequencyFactor(0.0001f);
    GetLog()->SetEnabled(true);
    ::testing::internal::CaptureStderr();
    sound->Play(0, 0);
    const std::string log = ::testing::internal::GetCapturedStderr();
    GetLog()->SetEnabled(false);
    EXPECT_FALSE(sound->IsPlaying()) << "a rate of 2 frames a second is refused";
    EXPECT_NE(log.find("outside 100 to 200000"), std::string::npos) << log;
    CNSound::SetFrequencyFactor(1.0f);
    sound->Play(0, 0);
    EXPECT_TRUE(sound->IsPlaying());
    g_soundVolume = 0.5f;
    g_musicVolume = 0.5f;
}

}  // namespace
