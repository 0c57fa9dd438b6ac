// texgen: draws the sample data's textures and writes them as TGA files.
//
//     texgen <folder>
//
// sample_checker.tga  64 × 64, opaque: orange and cream squares of 8 × 8 texels
// sample_glow.tga     32 × 32: a yellow disc whose alpha falls off towards its rim
// sample_ground.tga   64 × 64, opaque: two greens in squares of 16 × 16 texels
// sample_paint.tga    8 × 8, opaque: the car's blue
// sample_tyre.tga     8 × 8, opaque: the wheels' dark grey
// particle_smoke.tga  32 × 32: a soft white puff
// particle_spark.tga  16 × 16: a white point with a short glow
// particle_flame.tga  128 × 64: 4 × 2 frames of a flickering flame tongue, row by row
// spot_scorch.tga     128 × 32: 4 × 1 frames of ash marks of different shapes
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Picture {
    int width;
    int height;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, rows from the top
};

Picture Checker() {
    Picture picture{64, 64, {}};
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const bool orange = ((x / 8) + (y / 8)) % 2 == 0;
            picture.pixels.push_back(orange ? 0xFFE07020u : 0xFFF0E0C0u);
        }
    }
    return picture;
}

// A picture of squares of two colours.
Picture Squares(int size, int square, uint32_t first, uint32_t second) {
    Picture picture{size, size, {}};
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) picture.pixels.push_back(((x / square) + (y / square)) % 2 == 0 ? first : second);
    }
    return picture;
}

Picture Glow() {
    Picture picture{32, 32, {}};
    const float centre = 15.5f;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const float distance = std::hypot(static_cast<float>(x) - centre, static_cast<float>(y) - centre) / 16.0f;
            const float strength = std::clamp(1.0f - distance, 0.0f, 1.0f);
            const uint32_t alpha = static_cast<uint32_t>(std::lround(255.0f * std::min(1.0f, 2.0f * strength)));
            picture.pixels.push_back(alpha << 24 | 0x00FFE040u);
        }
    }
    return picture;
}

// A disc of the colour whose alpha falls off from the centre with the given power.
Picture Puff(int side, uint32_t rgb, float power) {
    Picture picture{side, side, {}};
    const float centre = (static_cast<float>(side) - 1.0f) * 0.5f;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const float distance =
                std::hypot(static_cast<float>(x) - centre, static_cast<float>(y) - centre) / (static_cast<float>(side) * 0.5f);
            const float strength = std::pow(std::clamp(1.0f - distance, 0.0f, 1.0f), power);
            picture.pixels.push_back(static_cast<uint32_t>(std::lround(255.0f * strength)) << 24 | rgb);
        }
    }
    return picture;
}

// Frames of side 32 side by side in columns × rows; frame(k, u, v) gives the texel of frame k at
// (u, v), each in -1 .. 1.
template <class Frame>
Picture Frames(int columns, int rows, Frame frame) {
    const int side = 32;
    Picture picture{columns * side, rows * side, std::vector<uint32_t>(static_cast<size_t>(columns * rows * side * side))};
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const int k = (y / side) * columns + x / side;
            const float u = (static_cast<float>(x % side) + 0.5f) / 16.0f - 1.0f;
            const float v = (static_cast<float>(y % side) + 0.5f) / 16.0f - 1.0f;
            picture.pixels[static_cast<size_t>(y * picture.width + x)] = frame(k, u, v);
        }
    }
    return picture;
}

uint32_t Argb(float alpha, float r, float g, float b) {
    const auto channel = [](float value) { return static_cast<uint32_t>(std::lround(255.0f * std::clamp(value, 0.0f, 1.0f))); };
    return channel(alpha) << 24 | channel(r) << 16 | channel(g) << 8 | channel(b);
}

// A tongue narrowing upwards (v = -1 is the top), swaying with the frame.
Picture Flame() {
    return Frames(4, 2, [](int k, float u, float v) {
        const float sway = 0.25f * std::sin(static_cast<float>(k) * 0.785f) * (1.0f - v) * 0.5f;
        const float width = 0.2f + 0.5f * (v + 1.0f) * 0.5f;
        const float across = std::fabs(u - sway) / width;
        const float strength = std::clamp(1.0f - across, 0.0f, 1.0f) * std::clamp(1.2f - std::fabs(v) * 0.9f, 0.0f, 1.0f);
        return Argb(strength, 1.0f, 0.4f + 0.6f * strength, 0.1f + 0.5f * strength * strength);
    });
}

// A pale ash blotch whose rim has three to six lobes, by frame.
Picture Scorch() {
    return Frames(4, 1, [](int k, float u, float v) {
        const float angle = std::atan2(v, u);
        const float rim = 0.7f + 0.2f * std::sin(angle * static_cast<float>(3 + k) + static_cast<float>(k));
        const float strength = std::clamp((rim - std::hypot(u, v)) * 4.0f, 0.0f, 1.0f);
        return Argb(0.8f * strength, 0.55f, 0.5f, 0.45f);
    });
}

// Uncompressed 32-bit TGA, first row at the top.
bool WriteTga(const std::string& path, const Picture& picture) {
    std::vector<uint8_t> bytes(18, 0);
    bytes[2] = 2;  // true colour
    bytes[12] = static_cast<uint8_t>(picture.width);
    bytes[13] = static_cast<uint8_t>(picture.width >> 8);
    bytes[14] = static_cast<uint8_t>(picture.height);
    bytes[15] = static_cast<uint8_t>(picture.height >> 8);
    bytes[16] = 32;
    bytes[17] = 0x28;  // eight alpha bits, origin top left
    for (uint32_t pixel : picture.pixels) {
        for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(pixel >> shift));
    }
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: texgen <folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    const struct {
        const char* name;
        Picture picture;
    } textures[] = {
        {"sample_checker.tga", Checker()},
        {"sample_glow.tga", Glow()},
        {"sample_ground.tga", Squares(64, 16, 0xFF3C7838u, 0xFF4E8C44u)},
        {"sample_paint.tga", Squares(8, 8, 0xFF2858D0u, 0xFF2858D0u)},
        {"sample_tyre.tga", Squares(8, 8, 0xFF383838u, 0xFF383838u)},
        {"particle_smoke.tga", Puff(32, 0x00FFFFFFu, 1.5f)},
        {"particle_spark.tga", Puff(16, 0x00FFFFFFu, 3.0f)},
        {"particle_flame.tga", Flame()},
        {"spot_scorch.tga", Scorch()},
    };
    bool written = true;
    for (const auto& texture : textures) written = WriteTga(folder + "/" + texture.name, texture.picture) && written;
    if (!written) {
        std::fprintf(stderr, "texgen: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
