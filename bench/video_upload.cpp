// The CPU time of showing one 640 × 480 video picture: the video player's upload into its
// 1024 × 512 texture (what every frame with a new picture costs, decoding aside, which runs on
// GStreamer's threads). Argument: the screenBPP setting, 32 (32-bit pictures) or 16 (R5G6B5).
//
// Run it headless, e.g.: xvfb-run -a build/bench/bench/bench_video_upload
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Render/PAVIPlayer.h"
#include "Render/PMaterialManager.h"
#include "Render/PRender.h"
#include "core/PKernel.h"
#include "core/PPack.h"
#include "core/SettingsVariables.h"
#include "platform/VideoStream.h"
#include "platform/VideoWriter.h"
#include "bench_window.h"

namespace {

constexpr uint32_t kWidth = 640;
constexpr uint32_t kHeight = 480;

void VideoPictureUpload(benchmark::State& state) {
    setenv("VX_MEDIA_SILENT", "1", 0);
    g_screenBPP = static_cast<int32_t>(state.range(0));
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "vexmoor_bench_video";
    std::filesystem::create_directories(folder / "data" / "video");
    std::filesystem::current_path(folder);
    MountPacks();
    platform::ColourVideo video;
    video.colours = {0x336699u};
    video.width = kWidth;
    video.height = kHeight;
    video.withSound = false;
    std::string error;
    auto window = OpenBenchWindow("video upload", 640, 480);
    if (!window || !platform::WriteColourVideo("data/video/bench.ogg", video, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    auto kernel = std::make_unique<CPKernel>();
    kernel->SetWindow(window.get());
    auto materials = std::make_unique<CPMaterialManager>();
    TPtr<CPRender> render(new CPRender);
    if (!render->Start() || GetAVIPlayer()->Play("bench.ogg") != 0) {
        state.SkipWithError("the video cannot be played");
        return;
    }
    const uint32_t bytes = g_screenBPP == 32 ? 4 : 2;
    std::vector<uint8_t> pixels(static_cast<size_t>(kWidth) * kHeight * bytes, 0x5A);
    platform::VideoFrame picture;
    picture.pixels = pixels.data();
    picture.width = kWidth;
    picture.height = kHeight;
    picture.pitch = kWidth * bytes;
    for (auto _ : state) {
        if (!GetAVIPlayer()->ShowPicture(picture)) state.SkipWithError("upload refused");
        pixels[0] ^= 1;  // a different picture each time
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(pixels.size()));
    render->Stop();
    render = nullptr;
    materials.reset();
    kernel.reset();
    CollectGarbage();
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    std::filesystem::remove_all(folder);
}

BENCHMARK(VideoPictureUpload)->Arg(32)->Arg(16)->Unit(benchmark::kMillisecond);

}  // namespace
