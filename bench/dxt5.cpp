// DXT5 compression of one 1024 × 1024 level, as the dxt5 setting does at load, by the game's
// encoder and by libsquish's range and cluster fits: time, and the quality of what decodes
// (PSNR of red, green and blue; RMSE of alpha). Picture 0: smooth gradients, a checker of hard
// edges, a little noise and varying alpha. Picture 1: blocks of two colours, red and blue.
#include <benchmark/benchmark.h>

#include <squish.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "Render/Dxt5Encoder.h"
#include "platform/gfx/Dxt.h"

namespace {

constexpr uint32_t kSide = 1024;

uint8_t Byte(double v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

// Bytes B, G, R, A, rows from the top.
std::vector<uint8_t> Picture(int64_t kind)
{
    std::vector<uint8_t> pixels(static_cast<size_t>(kSide) * kSide * 4);
    std::mt19937 random(7);
    for (uint32_t y = 0; y < kSide; ++y) {
        for (uint32_t x = 0; x < kSide; ++x) {
            uint8_t* texel = &pixels[(static_cast<size_t>(y) * kSide + x) * 4];
            if (kind == 1) {
                const bool red = (x + 2 * y) % 3 != 0;
                texel[0] = red ? 0 : 255;
                texel[1] = 0;
                texel[2] = red ? 255 : 0;
                texel[3] = 255;
                continue;
            }
            const double fx = static_cast<double>(x) / kSide, fy = static_cast<double>(y) / kSide;
            const double noise = static_cast<double>(random() % 7) - 3.0;
            texel[0] = Byte(((x / 64 + y / 64) % 2 ? 220.0 : 30.0) + noise);
            texel[1] = Byte(255.0 * fy + noise);
            texel[2] = Byte(255.0 * (0.5 + 0.5 * std::sin(fx * 17.0 + fy * 3.0)) + noise);
            texel[3] = Byte(255.0 * fx - ((x / 32) % 2 ? 0.0 : 40.0) + static_cast<double>(random() % 41) - 20.0);
        }
    }
    return pixels;
}

void ReportQuality(benchmark::State& state, const std::vector<uint8_t>& pixels, const std::vector<uint8_t>& blocks)
{
    std::vector<uint8_t> decoded(pixels.size());
    platform::gfx::DecodeDxt(platform::gfx::Format::DXT5, blocks.data(), kSide / 4 * 16, kSide, kSide,
                             decoded.data(), kSide * 4);
    double colour = 0.0, alpha = 0.0;
    for (size_t i = 0; i < pixels.size(); ++i) {
        const double d = static_cast<double>(pixels[i]) - decoded[i];
        (i % 4 == 3 ? alpha : colour) += d * d;
    }
    const double texels = static_cast<double>(kSide) * kSide;
    state.counters["rgb_psnr_db"] = 10.0 * std::log10(255.0 * 255.0 / std::max(colour / (3.0 * texels), 1e-9));
    state.counters["alpha_rmse"] = std::sqrt(alpha / texels);
}

void GameEncoder(benchmark::State& state)
{
    const std::vector<uint8_t> pixels = Picture(state.range(0));
    std::vector<uint8_t> blocks;
    for (auto _ : state) {
        blocks = CompressDxt5(pixels.data(), kSide, kSide);
        benchmark::DoNotOptimize(blocks.data());
    }
    ReportQuality(state, pixels, blocks);
}
BENCHMARK(GameEncoder)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void Squish(benchmark::State& state, int fit)
{
    const std::vector<uint8_t> pixels = Picture(state.range(0));
    std::vector<uint8_t> rgba = pixels;  // libsquish reads R, G, B, A
    for (size_t i = 0; i < rgba.size(); i += 4) std::swap(rgba[i], rgba[i + 2]);
    const int flags = squish::kDxt5 | fit;
    std::vector<uint8_t> blocks(static_cast<size_t>(squish::GetStorageRequirements(kSide, kSide, flags)));
    for (auto _ : state) {
        squish::CompressImage(rgba.data(), kSide, kSide, blocks.data(), flags);
        benchmark::DoNotOptimize(blocks.data());
    }
    ReportQuality(state, pixels, blocks);
}

void SquishRangeFit(benchmark::State& state) { Squish(state, squish::kColourRangeFit); }
BENCHMARK(SquishRangeFit)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void SquishClusterFit(benchmark::State& state) { Squish(state, squish::kColourClusterFit); }
BENCHMARK(SquishClusterFit)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
