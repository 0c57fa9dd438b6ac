// The music task on GStreamer (a fake sink that keeps time): tracks play, loop, fade over one
// another, and a track that cannot play leaves the current one going.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "core/PGlobalTimer.h"
#include "core/PMMObject.h"
#include "core/Result.h"
#include "platform/MusicPlayer.h"
#include "Sound/PMusic.h"
#include "Sound/sound_fixture.h"
#include "support/LogCapture.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> FileBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A quarter of a second of tone: a track that ends soon.
std::vector<uint8_t> ShortTrack() {
    std::vector<int16_t> samples(5512);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int16_t>(6000.0 * std::sin(i * 0.2));
    return soundtest::PcmWave16(1, 22050, samples);
}

double Gain(float volume) { return std::pow(10.0, VolumeToMillibels(volume) / 2000.0); }

class MusicTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* track : {"track1.ogg", "track2.ogg"}) {
            soundtest::WriteFile(folder_, std::string("data/music/") + track, FileBytes(fs::path(VX_SAMPLE_DATA) / "data/music" / track));
        }
        soundtest::WriteFile(folder_, "data/music/short.wav", ShortTrack());
        folder_.Write("data/music/noise.ogg", std::string(4096, 'x'));
        music_ = new CPMusic;
        music_->SetVolume(1.0f);
        g_frameDelta = 0.05f;
    }
    void TearDown() override {
        music_ = nullptr;
        CollectGarbage();
        g_frameDelta = 0.0f;
    }

    const platform::MusicPlayer& Player() const { return *music_->GetPlayer(); }

    // Updates the music every few milliseconds until the condition holds (at most five seconds).
    template <class Condition>
    bool UpdateUntil(Condition condition) {
        for (int i = 0; i < 1000; ++i) {
            music_->Update();
            if (condition()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

    // The first track, playing at full volume.
    void PlayFirst(const std::string& name) {
        ASSERT_EQ(music_->Play(name, true), S_OK);
        ASSERT_TRUE(UpdateUntil([&] { return music_->GetFadeFactor() == 1.0f && Player().GetPosition() > 0.05; }));
    }

    testsupport::WorkingFolder folder_;
    TPtr<CPMusic> music_;
};

TEST_F(MusicTest, AGeneratedTrackFadesInAndPlays) {
    ASSERT_EQ(music_->Play("track1.ogg", true), S_OK);
    EXPECT_EQ(music_->GetCurrentName(), "track1.ogg");
    EXPECT_FALSE(Player().IsRunning()) << "opening does not run the track";
    EXPECT_EQ(music_->GetFadeFactor(), 0.0f);
    music_->Update();
    EXPECT_TRUE(Player().IsRunning()) << "the update starts a looping track";
    EXPECT_NEAR(Player().GetGain(), Gain(0.05f), 1e-6);
    EXPECT_TRUE(UpdateUntil([&] { return Player().GetPosition() > 0.1; })) << "the track plays";
    EXPECT_TRUE(UpdateUntil([&] { return music_->GetFadeFactor() == 1.0f; }));
    EXPECT_NEAR(Player().GetGain(), 1.0, 1e-6);
}

TEST_F(MusicTest, ALoopingTrackStartsAgainAtItsEnd) {
    PlayFirst("short.wav");
    double furthest = 0.0;
    EXPECT_TRUE(UpdateUntil([&] {
        const double position = Player().GetPosition();  // unknown (negative) while it seeks
        furthest = std::max(furthest, position);
        return furthest > 0.15 && position >= 0.0 && position < furthest - 0.1;
    })) << "the position never went back to the start";
    EXPECT_TRUE(Player().IsRunning());
}

TEST_F(MusicTest, ASecondRequestFadesTheFirstOutToSilenceAndTheSecondIn) {
    PlayFirst("track1.ogg");
    ASSERT_EQ(music_->Play("short.wav", true), S_OK);
    ASSERT_EQ(music_->Play("track2.ogg", true), S_OK);  // the later request wins
    EXPECT_EQ(music_->GetPendingName(), "track2.ogg");
    EXPECT_EQ(music_->GetCurrentName(), "track1.ogg");

    g_frameDelta = 0.5f;  // a long frame counts as 0.1 s of fading
    double previous = Player().GetGain();
    for (int step = 1; step < 10; ++step) {
        music_->Update();
        EXPECT_NEAR(music_->GetFadeFactor(), 1.0f - 0.1f * step, 1e-5f) << step;
        EXPECT_LE(Player().GetGain(), previous) << step;
        previous = Player().GetGain();
        EXPECT_EQ(music_->GetCurrentName(), "track1.ogg") << step;
    }
    EXPECT_NEAR(previous, Gain(0.1f), 1e-6);
    music_->Update();
    EXPECT_EQ(music_->GetCurrentName(), "track2.ogg");
    EXPECT_EQ(music_->GetFadeFactor(), 0.0f);
    EXPECT_NEAR(Player().GetGain(), std::pow(10.0, -3.5), 1e-6) << "the new track starts silent, at -70 dB";
    EXPECT_TRUE(Player().IsRunning());
    for (int step = 1; step <= 10; ++step) music_->Update();
    EXPECT_EQ(music_->GetFadeFactor(), 1.0f);
    EXPECT_NEAR(Player().GetGain(), 1.0, 1e-6);
}

// The loudest and the last window of 16-bit mono samples, as root mean squares.
struct Envelope {
    double loudest = 0.0;
    double last = 0.0;
};
Envelope WindowLevels(const fs::path& raw) {
    const std::vector<uint8_t> bytes = FileBytes(raw);
    constexpr size_t kWindow = 1024;
    Envelope envelope;
    for (size_t start = 0; start + 2 * kWindow <= bytes.size(); start += 2 * kWindow) {
        double sum = 0.0;
        for (size_t i = start; i < start + 2 * kWindow; i += 2) {
            const double v = static_cast<int16_t>(bytes[i] | (bytes[i + 1] << 8));
            sum += v * v;
        }
        envelope.last = std::sqrt(sum / kWindow);
        envelope.loudest = std::max(envelope.loudest, envelope.last);
    }
    return envelope;
}

// Music to a raw file, in time, for what the player hears.
void CaptureMusicTo(const fs::path& raw) {
    const std::string sink = "audioconvert ! audioresample ! audio/x-raw,format=S16LE,channels=1,rate=22050 ! "
                             "filesink sync=true location=" + raw.string();
    setenv("VX_MUSIC_SINK", sink.c_str(), 1);
}

TEST_F(MusicTest, ALoopToAFileSinkIsWrittenWholeWithoutAGapAndKeptAfterTheStop) {
    CaptureMusicTo(folder_.Path() / "loops.raw");
    ASSERT_NO_FATAL_FAILURE(PlayFirst("short.wav"));
    setenv("VX_MUSIC_SINK", "fakesink sync=true", 1);
    int repeats = 0;
    double last = 0.0;
    EXPECT_TRUE(UpdateUntil([&] {
        const double position = Player().GetPosition();
        if (position >= 0.0 && position < last - 0.1) ++repeats;
        if (position >= 0.0) last = position;
        return repeats >= 3;
    }));
    music_->Stop();
    music_ = nullptr;
    CollectGarbage();
    platform::MusicPlayer::WaitUntilClosed();
    // The file holds the track over and over, sample for sample from its first (quieter while it
    // faded in): every repeat whole, nothing between them, nothing flushed away.
    const std::vector<uint8_t> bytes = FileBytes(folder_.Path() / "loops.raw");
    const std::vector<uint8_t> track = ShortTrack();
    const std::vector<uint8_t> once(track.end() - 5512 * 2, track.end());
    ASSERT_GE(bytes.size(), 3 * once.size()) << "three repeats were played";
    size_t misplaced = 0;
    size_t quiet = 0;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const double written = static_cast<int16_t>(bytes[i] | (bytes[i + 1] << 8));
        const size_t j = i % once.size();
        const double expected = static_cast<int16_t>(once[j] | (once[j + 1] << 8));
        if (std::abs(expected) < 2000.0) continue;
        const double gain = written / expected;
        if (gain < -0.001 || gain > 1.01) ++misplaced;
        if (i + once.size() >= bytes.size() && gain < 0.99) ++quiet;
    }
    EXPECT_EQ(misplaced, 0u) << "of " << bytes.size() / 2 << " samples";
    EXPECT_EQ(quiet, 0u) << "the last repeat is heard at full volume";
}

TEST_F(MusicTest, WhatIsHeardFadesOutBeforeTheNextTrackIsHeard) {
    CaptureMusicTo(folder_.Path() / "first.raw");
    ASSERT_NO_FATAL_FAILURE(PlayFirst("track1.ogg"));
    ASSERT_TRUE(UpdateUntil([&] { return Player().GetPosition() > 0.6; }));
    // The track asked for opens when the fade ends.
    CaptureMusicTo(folder_.Path() / "second.raw");
    ASSERT_EQ(music_->Play("track2.ogg", true), S_OK);
    // Frames of 50 ms, in real time: the player hears the whole second of the fade.
    g_frameDelta = 0.05f;
    for (int step = 0; step < 20; ++step) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        music_->Update();
    }
    ASSERT_EQ(music_->GetCurrentName(), "track2.ogg");
    setenv("VX_MUSIC_SINK", "fakesink sync=true", 1);
    const Envelope first = WindowLevels(folder_.Path() / "first.raw");
    ASSERT_GT(first.loudest, 1000.0);
    // The last sounds written were processed a decoded block before the end of the fade: already
    // more than 34 dB down, on their way to -70 dB.
    EXPECT_LT(first.last, 0.02 * first.loudest) << "the first track ends in silence";
    ASSERT_TRUE(UpdateUntil([&] { return Player().GetPosition() > 0.4; }));
    music_ = nullptr;
    CollectGarbage();
    platform::MusicPlayer::WaitUntilClosed();
    const Envelope second = WindowLevels(folder_.Path() / "second.raw");
    EXPECT_GT(second.loudest, 1000.0) << "the second track is heard";
}

TEST_F(MusicTest, ARequestIsOpenedWhenTheFadeOutEndsAndATrackThatCannotPlayIsLoggedThen) {
    PlayFirst("track1.ogg");
    const platform::MusicPlayer* first = music_->GetPlayer();
    for (const char* name : {"none.ogg", "noise.ogg"}) {
        const std::string asked = testsupport::LogOf([&] { EXPECT_EQ(music_->Play(name, true), S_OK); });
        EXPECT_EQ(asked, "") << "the request opens nothing";
        EXPECT_EQ(music_->GetPlayer(), first);
        g_frameDelta = 0.1f;
        const std::string faded = testsupport::LogOf([&] {
            for (int step = 0; step < 9; ++step) music_->Update();
        });
        EXPECT_EQ(faded, "");
        EXPECT_EQ(music_->GetCurrentName(), "track1.ogg");
        EXPECT_NEAR(music_->GetFadeFactor(), 0.1f, 1e-5f);
        // The tenth step ends the fade and opens the track, which cannot be played: silence.
        const std::string opened = testsupport::LogOf([&] {
            EXPECT_TRUE(UpdateUntil([&] { return !music_->IsTrackOpen(); }));
        });
        EXPECT_NE(opened.find(std::string("Music Data\\Music\\") + name + " cannot be played: "), std::string::npos)
            << opened;
        EXPECT_EQ(music_->GetCurrentName(), name);
        EXPECT_EQ(music_->GetPlayer(), nullptr);
        // The next request fades the silence and opens its track.
        ASSERT_EQ(music_->Play("track1.ogg", true), S_OK);
        EXPECT_TRUE(UpdateUntil([&] { return music_->IsTrackOpen() && music_->GetFadeFactor() == 1.0f; }));
        first = music_->GetPlayer();
    }
}

TEST_F(MusicTest, AWaitingTrackKeepsItsLoopingAndStartsWhenTheFadeEnds) {
    PlayFirst("track1.ogg");
    music_->Play("short.wav", false);
    g_frameDelta = 0.1f;
    for (int step = 0; step < 10; ++step) music_->Update();
    ASSERT_EQ(music_->GetCurrentName(), "short.wav");
    EXPECT_FALSE(music_->IsLooping());
    EXPECT_TRUE(Player().IsRunning()) << "the track opened at the end of the fade starts at once";
    EXPECT_TRUE(UpdateUntil([&] { return !Player().IsRunning(); })) << "it stops at its end";
    for (int i = 0; i < 5; ++i) music_->Update();
    EXPECT_FALSE(Player().IsRunning()) << "and is not started again";
}

TEST_F(MusicTest, AFirstTrackWithoutLoopingWaitsForStartAndTheTaskStopRewindsIt) {
    ASSERT_EQ(music_->Play("track1.ogg", false), S_OK);
    music_->Update();
    EXPECT_FALSE(Player().IsRunning());
    EXPECT_TRUE(music_->Start());
    EXPECT_TRUE(Player().IsRunning());
    EXPECT_TRUE(UpdateUntil([&] { return Player().GetPosition() > 0.4; }));
    music_->Stop();
    EXPECT_FALSE(Player().IsRunning());
    // Started again, it plays from its beginning.
    EXPECT_TRUE(music_->Start());
    EXPECT_TRUE(UpdateUntil([&] { return Player().GetPosition() >= 0.0 && Player().GetPosition() < 0.3; }));
}

TEST_F(MusicTest, TheVolumeIsClampedAndAppliesBelowTheFade) {
    PlayFirst("track1.ogg");
    music_->SetVolume(0.5f);
    EXPECT_NEAR(Player().GetGain(), std::pow(10.0, -437 / 2000.0), 1e-6);
    music_->SetVolume(7.0f);
    EXPECT_EQ(music_->GetVolume(), 1.0f);
    music_->SetVolume(-1.0f);
    EXPECT_EQ(music_->GetVolume(), 0.0f);
    EXPECT_NEAR(Player().GetGain(), std::pow(10.0, -3.5), 1e-6);
}

TEST_F(MusicTest, AMissingFirstTrackFailsAndTheNextRequestOpensItsTrack) {
    const std::string log = testsupport::LogOf([&] { EXPECT_EQ(music_->Play("none.ogg", true), E_FAIL); });
    EXPECT_NE(log.find("none.ogg cannot be played"), std::string::npos) << log;
    EXPECT_EQ(music_->GetCurrentName(), "none.ogg");
    EXPECT_FALSE(music_->IsTrackOpen());
    music_->Update();
    ASSERT_EQ(music_->Play("track2.ogg", true), S_OK);
    EXPECT_TRUE(UpdateUntil([&] { return music_->GetCurrentName() == "track2.ogg" && music_->IsTrackOpen(); }));
}

}  // namespace
