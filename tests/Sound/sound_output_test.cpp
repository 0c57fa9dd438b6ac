// What the sound device really mixes (OpenAL Soft's wave-file backend): levels, panning and the
// volume law, and a game without a sound device.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/PLog.h"
#include "core/PMMObject.h"
#include "core/SettingsVariables.h"
#include "Sound/NAudio.h"
#include "Sound/sound_fixture.h"

namespace {

using soundtest::MixedOutput;
using soundtest::PcmWave16;

std::vector<int16_t> Tone(size_t frames, int channels, double amplitude) {
    std::vector<int16_t> samples;
    for (size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            const double frequency = c == 0 ? 441.0 : 661.5;
            samples.push_back(static_cast<int16_t>(std::lround(amplitude * std::sin(2.0 * M_PI * frequency * i / 22050.0 + 1.0))));
        }
    }
    return samples;
}

// The first frame of the output that is not silent.
size_t FirstSound(const MixedOutput& output) {
    for (size_t i = 0; i < output.samples.size(); ++i) {
        if (output.samples[i] != 0) return i / output.channels;
    }
    return output.Frames();
}

// The square root of a channel's energy: ratios of levels are ratios of amplitudes, whatever
// silence surrounds the sound.
double Level(const std::vector<int16_t>& samples, int channels, int channel) {
    double sum = 0.0;
    for (size_t i = channel; i < samples.size(); i += channels) sum += double(samples[i]) * samples[i];
    return std::sqrt(sum);
}
double Level(const MixedOutput& output, int channel) { return Level(output.samples, output.channels, channel); }

class SoundOutputTest : public ::testing::Test {
protected:
    void OpenAudio() {
        g_frequency = soundtest::kOutputRate;
        g_soundVolume = 1.0f;
        audio_ = std::make_unique<CNAudio>();
        audio_->Init(nullptr);
        ASSERT_TRUE(audio_->HasDevice());
        // The listener as the application places it: looking down -y, with +z up.
        audio_->SetListenerPosition({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f});
        audio_->SetListenerOrientation({0.0f, 0.0f, 1.0f}, {0.0f, -1.0f, 0.0f});
    }
    void TearDown() override { CloseAudio(); }
    void CloseAudio() {
        audio_.reset();
        CollectGarbage();
    }

    TPtr<CNSound> Sound(const std::string& name, const std::vector<uint8_t>& file, bool is3D) {
        soundtest::WriteFile(folder_, "data/sounds/" + name, file);
        return TPtr<CNSound>(new CNSound("Data\\Sounds\\" + name, is3D));
    }

    // Plays the sound to its end, closes the device and reads what it mixed.
    MixedOutput PlayToTheEnd(CNSound& sound) {
        sound.Play(0, 0);
        EXPECT_TRUE(soundtest::WaitUntilSilent(sound));
        audio_->ReleaseDevice();
        return soundtest::ReadMixedOutput();
    }

    testsupport::WorkingFolder folder_;
    std::unique_ptr<CNAudio> audio_;
};

TEST_F(SoundOutputTest, A2DSoundAtFullVolumeWritesItsSamples) {
    for (int channels : {2, 1}) {
        OpenAudio();
        const std::vector<int16_t> samples = Tone(2205, channels, 12000.0);
        TPtr<CNSound> sound = Sound("tone.wav", PcmWave16(channels, 22050, samples), false);
        ASSERT_TRUE(sound->HasBuffer());
        const MixedOutput output = PlayToTheEnd(*sound);
        ASSERT_EQ(output.channels, 2);
        const size_t start = FirstSound(output);
        ASSERT_GE(output.Frames(), start + 2205) << "the sound was not mixed whole";
        int worst = 0;
        for (size_t i = 0; i < 2205; ++i) {
            worst = std::max(worst, std::abs(output.Left(start + i) - samples[channels * i]));
            worst = std::max(worst, std::abs(output.Right(start + i) - samples[channels * i + channels - 1]));
        }
        EXPECT_LE(worst, 2) << channels << " channels: largest difference from the file's samples";
        sound = nullptr;
        CloseAudio();
    }
}

TEST_F(SoundOutputTest, TheFrequencyFactorSetsTheRateOfTheNextPlay) {
    OpenAudio();
    TPtr<CNSound> sound = Sound("tone.wav", PcmWave16(2, 22050, Tone(2205, 2, 12000.0)), false);
    CNSound::SetFrequencyFactor(0.5f);
    const MixedOutput output = PlayToTheEnd(*sound);
    CNSound::SetFrequencyFactor(1.0f);
    size_t last = output.samples.size();
    while (last > 0 && output.samples[last - 1] == 0) --last;
    const size_t heard = last / output.channels - FirstSound(output);
    EXPECT_NEAR(static_cast<double>(heard), 4410.0, 3.0) << "a 22050 Hz sample played at 11025 Hz lasts twice as long";
}

TEST_F(SoundOutputTest, MinusOneThousandHundredthsOfADecibelIsTenToTheMinusHalf) {
    const float volume = 1.0f - std::pow(1.0f / 7.0f, 0.25f);
    const int32_t millibels = VolumeToMillibels(volume);
    ASSERT_NEAR(millibels, -1000, 1);
    OpenAudio();
    const std::vector<int16_t> samples = Tone(2205, 2, 20000.0);
    TPtr<CNSound> sound = Sound("tone.wav", PcmWave16(2, 22050, samples), false);
    audio_->SetSoundVolume(volume);
    const MixedOutput output = PlayToTheEnd(*sound);
    const double expected = std::pow(10.0, millibels / 2000.0);
    for (int channel = 0; channel < 2; ++channel) {
        EXPECT_NEAR(Level(output, channel) / Level(samples, 2, channel), expected, 0.005) << channel;
    }
    EXPECT_NEAR(expected, std::pow(10.0, -0.5), 0.001);
}

TEST_F(SoundOutputTest, A3DSoundIsHeardOnItsSideOfTheListener) {
    struct Case {
        PVector3 position;
        bool rightLouder, leftLouder;
    } cases[] = {
        {{6.0f, 0.0f, 0.0f}, true, false},    // to the listener's right
        {{-6.0f, 0.0f, 0.0f}, false, true},   // to its left
        {{0.0f, -6.0f, 0.0f}, false, false},  // straight ahead
    };
    for (const Case& c : cases) {
        OpenAudio();
        TPtr<CNSound> sound = Sound("hum.wav", PcmWave16(1, 22050, Tone(2205, 1, 16000.0)), true);
        audio_->SetSoundPosition(sound, c.position, {0.0f, 0.0f, 0.0f});
        const MixedOutput output = PlayToTheEnd(*sound);
        const double left = Level(output, 0);
        const double right = Level(output, 1);
        ASSERT_GT(left + right, 1000.0);
        EXPECT_EQ(right > 2.0 * left, c.rightLouder) << c.position.x << ": left " << left << ", right " << right;
        EXPECT_EQ(left > 2.0 * right, c.leftLouder) << c.position.x << ": left " << left << ", right " << right;
        sound = nullptr;
        CloseAudio();
    }
}

TEST_F(SoundOutputTest, OnlyWhereASoundLiesFromTheListenerCountsWhereverTheListenerStands) {
    // Six units to the listener's right, the listener at the origin, high above it, and off to a
    // side: the same mix each time, heard on the right.
    const PVector3 listeners[] = {{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 20.0f}, {5.0f, -7.0f, -30.0f}};
    double baseline[2] = {0.0, 0.0};
    for (const PVector3& listener : listeners) {
        OpenAudio();
        audio_->SetListenerPosition(listener, {0.0f, 0.0f, 0.0f});
        TPtr<CNSound> sound = Sound("hum.wav", PcmWave16(1, 22050, Tone(2205, 1, 16000.0)), true);
        audio_->SetSoundPosition(sound, {listener.x + 6.0f, listener.y, listener.z}, {0.0f, 0.0f, 0.0f});
        const MixedOutput output = PlayToTheEnd(*sound);
        const double left = Level(output, 0);
        const double right = Level(output, 1);
        if (baseline[1] == 0.0) {
            baseline[0] = left;
            baseline[1] = right;
        }
        ASSERT_GT(right, 1000.0);
        EXPECT_GT(right, 2.0 * left) << "listener at z " << listener.z;
        EXPECT_NEAR(left, baseline[0], 0.05 * baseline[1]) << "listener at z " << listener.z;
        EXPECT_NEAR(right / baseline[1], 1.0, 0.05) << "listener at z " << listener.z;
        sound = nullptr;
        CloseAudio();
    }
}

TEST_F(SoundOutputTest, ASoundFadesWithDistanceBetweenItsMinimumAndMaximum) {
    double levels[3];
    const float distances[3] = {2.0f, 8.0f, 30.0f};
    for (int i = 0; i < 3; ++i) {
        OpenAudio();
        TPtr<CNSound> sound = Sound("hum.wav", PcmWave16(1, 22050, Tone(2205, 1, 16000.0)), true);
        audio_->SetSoundDistances(sound, 2.0f, 8.0f);
        audio_->SetSoundPosition(sound, {0.0f, -distances[i], 0.0f}, {0.0f, 0.0f, 0.0f});
        const MixedOutput output = PlayToTheEnd(*sound);
        levels[i] = Level(output, 0) + Level(output, 1);
        sound = nullptr;
        CloseAudio();
    }
    EXPECT_NEAR(levels[1] / levels[0], 0.25, 0.02) << "inverse distance: 2 / 8";
    EXPECT_NEAR(levels[2] / levels[1], 1.0, 0.02) << "no more fading past the maximum distance";
}

TEST(NoSoundDevice, TheGameRunsSilentlySaysSoOnceAndEverySoundCallIsHarmless) {
    testsupport::WorkingFolder folder;
    folder.Write("data/sounds/sounds.dat", std::string("boom;boom.wav\n"));
    soundtest::WriteFile(folder, "data/sounds/boom.wav", PcmWave16(1, 22050, Tone(100, 1, 1000.0)));
    // The wave backend cannot write its file: there is no device to open.
    std::filesystem::remove_all(soundtest::MixedOutputPath());
    std::filesystem::create_directory(soundtest::MixedOutputPath());
    GetLog()->SetEnabled(true);
    ::testing::internal::CaptureStderr();
    {
        CNAudio audio;
        audio.Init(nullptr);
        EXPECT_FALSE(audio.HasDevice());
        EXPECT_EQ(GetSoundBank(), nullptr);
        EXPECT_FALSE(audio.GetSound("boom"));
        EXPECT_FALSE(audio.LoadSound("boom.wav", true));
        audio.PlaySoundByName("boom", true);
        audio.StopSoundByName("boom");
        audio.SetListenerPosition({1.0f, 2.0f, 3.0f}, {0.0f, 0.0f, 0.0f});
        audio.SetListenerOrientation({0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f});
        audio.SetSoundVolume(0.3f);
        audio.SetSoundPosition(nullptr, {0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f});
        audio.SetSoundDistances(nullptr, 1.0f, 2.0f);
    }
    const std::string log = ::testing::internal::GetCapturedStderr();
    GetLog()->SetEnabled(false);
    std::filesystem::remove(soundtest::MixedOutputPath());
    CollectGarbage();
    const size_t first = log.find("No sound device");
    ASSERT_NE(first, std::string::npos) << log;
    EXPECT_EQ(log.find("No sound device", first + 1), std::string::npos) << log;
    EXPECT_EQ(log.find("Sound "), std::string::npos) << "no other report: " << log;
}

}  // namespace
