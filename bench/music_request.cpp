// The main thread's cost of asking for another music track while one plays (what PlayMusic does
// after the first track): the request itself (request_ms) and the music update in which the
// fade-out ends and the requested track is opened (fade_end_ms, closing the old track included).
// The tracks are the sample data's, played to a fake sink that keeps time.
//
// Run it, e.g.: build/bench/bench/bench_music_request
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "Sound/PMusic.h"
#include "core/PGlobalTimer.h"
#include "core/PMMObject.h"
#include "core/PPack.h"
#include "platform/Clock.h"

namespace {

double Seconds(int64_t counts) {
    return static_cast<double>(counts) / static_cast<double>(platform::GetClock().CounterFrequency());
}

// Updates until the open track has played a little, so the next request fades a running track.
void LetItPlay(CPMusic& music) {
    for (int i = 0; i < 20; ++i) {
        music.Update();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void MusicRequest(benchmark::State& state) {
    setenv("VX_MUSIC_SINK", "fakesink sync=true", 0);
    std::filesystem::current_path(VX_SAMPLE_DATA);
    MountPacks();
    TPtr<CPMusic> music(new CPMusic);
    music->SetVolume(1.0f);
    g_frameDelta = 0.1f;
    if (music->Play("track1.ogg", true) != 0) {
        state.SkipWithError("the sample track cannot be played");
        return;
    }
    LetItPlay(*music);
    const platform::IClock& clock = platform::GetClock();
    const char* tracks[2] = {"track2.ogg", "track1.ogg"};
    double request = 0.0;
    double fadeEnd = 0.0;
    int64_t round = 0;
    for (auto _ : state) {
        const int64_t asked = clock.Counter();
        music->Play(tracks[round++ % 2], true);
        const int64_t answered = clock.Counter();
        for (int step = 0; step < 9; ++step) music->Update();
        const int64_t fading = clock.Counter();
        music->Update();
        const int64_t opened = clock.Counter();
        request += Seconds(answered - asked);
        fadeEnd += Seconds(opened - fading);
        state.SetIterationTime(Seconds(answered - asked) + Seconds(opened - fading));
        LetItPlay(*music);
    }
    const double rounds = static_cast<double>(state.iterations());
    state.counters["request_ms"] = 1000.0 * request / rounds;
    state.counters["fade_end_ms"] = 1000.0 * fadeEnd / rounds;
    music = nullptr;
    CollectGarbage();
    g_frameDelta = 0.0f;
}

BENCHMARK(MusicRequest)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace
