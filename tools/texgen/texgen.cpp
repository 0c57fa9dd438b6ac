// texgen: draws the sample data's textures and writes them as TGA files.
//
//     texgen <folder>
//
// sample_checker.tga  64 × 64, opaque: orange and cream squares of 8 × 8 texels
// sample_glow.tga     32 × 32: a yellow disc whose alpha falls off towards its rim
// sample_ground.tga   64 × 64, opaque: two greens in squares of 16 × 16 texels
// sample_paint.tga    8 × 8, opaque: the car's blue
// sample_tyre.tga     8 × 8, opaque: the wheels' dark grey
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
    if (!WriteTga(folder + "/sample_checker.tga", Checker()) || !WriteTga(folder + "/sample_glow.tga", Glow()) ||
        !WriteTga(folder + "/sample_ground.tga", Squares(64, 16, 0xFF3C7838u, 0xFF4E8C44u)) ||
        !WriteTga(folder + "/sample_paint.tga", Squares(8, 8, 0xFF2858D0u, 0xFF2858D0u)) ||
        !WriteTga(folder + "/sample_tyre.tga", Squares(8, 8, 0xFF383838u, 0xFF383838u))) {
        std::fprintf(stderr, "texgen: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
