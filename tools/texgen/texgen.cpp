// texgen: draws the sample data's textures and writes them as TGA files, and the sample level's
// terrain textures as uncompressed DDS files.
//
//     texgen <folder> <level texts folder>
//
// sample_checker.tga  64 × 64, opaque: orange and cream squares of 8 × 8 texels
// sample_glow.tga     32 × 32: a yellow disc whose alpha falls off towards its rim
// sample_ground.tga   64 × 64, opaque: two greens in squares of 16 × 16 texels
// sample_paint.tga    8 × 8, opaque: the car's blue
// sample_tyre.tga     8 × 8, opaque: the wheels' dark grey
// particle_smoke.tga  32 × 32: a soft white puff
// particle_spark.tga  16 × 16: a white point with a short glow
// particle_tracer.tga 32 × 8: a warm white streak, brightest at the head (right), fading to the
//                     tail and to the long edges
// particle_flame.tga  128 × 64: 4 × 2 frames of a flickering flame tongue, row by row
// spot_scorch.tga     128 × 32: 4 × 1 frames of ash marks of different shapes
// sample_fog.tga      16 × 16: a pale grey-blue, half transparent
// beacon.tga          8 × 16, opaque: a check point's stripes, yellow over black
// level1/color.dds    256 × 256, opaque: the sample level's ground colours, greens with a brown
//                     road along its course: from the player's start through the check points in
//                     their order (read from level1.txt in the level texts folder)
// level1/detail1.dds  32 × 32, opaque: light grey grain
// level1/detail2.dds  32 × 32, opaque: coarser grey grain
// level1/map.tga      256 × 256, opaque: the sample level's minimap picture (the same picture)
// level2/..., level3/...: the same for the levels of missions 2 (sand) and 3 (grey rock)
// menu.tga           256 × 128: the sample menu's buttons, choice frame, panel, cursor block and title plate
// hud.tga            256 × 256: the HUD's arrow, weapon signs and name plates, marks and panel
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "LevelText.h"
#include "game/LevelRecordName.h"

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

// Rows of two colours, the first colour in the top half.
Picture Stripes(int width, int height, uint32_t top, uint32_t bottom) {
    Picture picture{width, height, {}};
    for (int y = 0; y < height; ++y) picture.pixels.insert(picture.pixels.end(), static_cast<size_t>(width), y < height / 2 ? top : bottom);
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

Picture Tracer() {
    Picture picture{32, 8, {}};
    const float middle = 3.5f;
    for (int y = 0; y < picture.height; ++y) {
        const float across = 1.0f - std::fabs(static_cast<float>(y) - middle) / 4.0f;
        for (int x = 0; x < picture.width; ++x) {
            const float along = 0.3f + 0.7f * static_cast<float>(x) / 31.0f;
            const float strength = along * std::sqrt(across);
            picture.pixels.push_back(static_cast<uint32_t>(std::lround(255.0f * strength)) << 24 | 0x00FFF0A0u);
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

// Fills a rectangle of the picture with a colour, and its outer ring of the given width with another.
void Box(Picture& picture, int left, int top, int width, int height, uint32_t fill, uint32_t border, int ring) {
    for (int y = top; y < top + height; ++y) {
        for (int x = left; x < left + width; ++x) {
            const bool edge = x < left + ring || y < top + ring || x >= left + width - ring || y >= top + height - ring;
            picture.pixels[static_cast<size_t>(y * picture.width + x)] = edge ? border : fill;
        }
    }
}

Picture Blank(int width, int height) { return Picture{width, height, std::vector<uint32_t>(static_cast<size_t>(width * height), 0)}; }

// The sample menu's elements: a button's normal, hover and pressed looks, the frame that marks
// the button chosen by keyboard, a half-transparent panel, a white block for the cursor and the
// plate behind the title.
Picture Menu() {
    Picture picture = Blank(256, 128);
    Box(picture, 0, 0, 128, 32, 0xFF203060u, 0xFF8090C0u, 2);
    Box(picture, 0, 32, 128, 32, 0xFF3860B0u, 0xFFFFFFFFu, 2);
    Box(picture, 0, 64, 128, 32, 0xFF102040u, 0xFFFFD040u, 2);
    Box(picture, 0, 96, 128, 32, 0x00000000u, 0xFFFFD040u, 3);
    Box(picture, 128, 0, 128, 96, 0xC0101820u, 0xFF8090C0u, 2);
    Box(picture, 128, 96, 32, 32, 0xFFFFFFFFu, 0xFFFFFFFFu, 0);
    Box(picture, 160, 96, 96, 32, 0xFF402818u, 0xFFFFD040u, 1);
    return picture;
}

// Capital letters of 5 × 7 pixels for the HUD's name plates: one string a row, '#' lit.
struct Letter {
    char letter;
    const char* rows[7];
};
constexpr Letter kLetters[] = {
    {'A', {" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"}},
    {'C', {" ####", "#    ", "#    ", "#    ", "#    ", "#    ", " ####"}},
    {'E', {"#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####"}},
    {'G', {" ####", "#    ", "#    ", "# ###", "#   #", "#   #", " ### "}},
    {'H', {"#   #", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"}},
    {'I', {" ### ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "}},
    {'K', {"#   #", "#  # ", "# #  ", "##   ", "# #  ", "#  # ", "#   #"}},
    {'L', {"#    ", "#    ", "#    ", "#    ", "#    ", "#    ", "#####"}},
    {'M', {"#   #", "## ##", "# # #", "#   #", "#   #", "#   #", "#   #"}},
    {'N', {"#   #", "##  #", "# # #", "#  ##", "#   #", "#   #", "#   #"}},
    {'O', {" ### ", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "}},
    {'P', {"#### ", "#   #", "#   #", "#### ", "#    ", "#    ", "#    "}},
    {'R', {"#### ", "#   #", "#   #", "#### ", "# #  ", "#  # ", "#   #"}},
    {'S', {" ####", "#    ", "#    ", " ### ", "    #", "    #", "#### "}},
    {'T', {"#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  "}},
    {'U', {"#   #", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "}},
    {'V', {"#   #", "#   #", "#   #", "#   #", "#   #", " # # ", "  #  "}},
    {'Y', {"#   #", "#   #", " # # ", "  #  ", "  #  ", "  #  ", "  #  "}},
};

// Writes the capitals (and blanks) centred in a box of the picture, each pixel of a letter a
// square of scale texels.
void Label(Picture& picture, int left, int top, int width, int height, const char* text, int scale, uint32_t colour) {
    const int count = static_cast<int>(std::char_traits<char>::length(text));
    int x = left + (width - (count * 6 - 1) * scale) / 2;
    const int y = top + (height - 7 * scale) / 2;
    for (const char* character = text; *character; ++character, x += 6 * scale) {
        for (const Letter& letter : kLetters) {
            if (letter.letter != *character) continue;
            for (int row = 0; row < 7; ++row) {
                for (int column = 0; column < 5; ++column) {
                    if (letter.rows[row][column] == '#') Box(picture, x + column * scale, y + row * scale, scale, scale, colour, colour, 0);
                }
            }
        }
    }
}

// The HUD's elements: the arrow toward targets (pointing up), the weapon slot's frame, the
// three weapons' signs, an upgrade point, the super weapon's sign and its two green marks, the
// empty mine layer's sign, the mines' sign and the panel behind the numbers; below them the
// weapons' name plates (light gun, heavy machine gun, rockets, plasma) and the plate of the
// engine's overheat warning.
Picture Hud() {
    Picture picture = Blank(256, 256);
    for (int y = 0; y < 32; ++y) {
        const int half = y / 2;
        for (int x = 16 - half; x < 16 + half; ++x) picture.pixels[static_cast<size_t>(y * 256 + x)] = 0xFFFFD040u;
    }
    Box(picture, 32, 0, 64, 32, 0x00000000u, 0xFFFFFFFFu, 2);
    Box(picture, 96, 0, 64, 32, 0xFFC03030u, 0xFFFFFFFFu, 2);
    Box(picture, 160, 0, 64, 32, 0xFF30A040u, 0xFFFFFFFFu, 2);
    Box(picture, 0, 32, 64, 32, 0xFFE08020u, 0xFFFFFFFFu, 2);
    Box(picture, 64, 32, 8, 8, 0xFF40E040u, 0xFF40E040u, 0);
    Box(picture, 80, 32, 32, 32, 0xFF8040C0u, 0xFFFFFFFFu, 2);
    Box(picture, 112, 32, 16, 16, 0xFF40E040u, 0xFF40E040u, 0);
    Box(picture, 128, 32, 32, 32, 0xFF505050u, 0xFF909090u, 2);
    Box(picture, 160, 32, 32, 32, 0xFF806020u, 0xFFFFFFFFu, 2);
    Box(picture, 0, 64, 128, 40, 0xA0101820u, 0xFF8090C0u, 2);
    const struct {
        int left, top;
        uint32_t fill;
        const char* name;
    } plates[] = {{0, 128, 0xFF3860B0u, "LIGHT GUN"}, {128, 128, 0xFFC03030u, "HEAVY MG"},
                  {0, 160, 0xFF30A040u, "ROCKETS"},    {128, 160, 0xFFE08020u, "PLASMA"},
                  {0, 192, 0xFFC03030u, "ENGINE HOT"}};
    for (const auto& plate : plates) {
        Box(picture, plate.left, plate.top, 128, 32, plate.fill, 0xFFFFFFFFu, 2);
        Label(picture, plate.left, plate.top, 128, 32, plate.name, 2, 0xFFFFFFFFu);
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

// Uncompressed 32-bit DDS (A8R8G8B8), one level.
bool WriteDds(const std::string& path, const Picture& picture) {
    std::vector<uint8_t> bytes;
    auto put32 = [&bytes](uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(value >> shift));
    };
    put32(0x20534444u);  // "DDS "
    const uint32_t header[31] = {124, 0x100Fu, static_cast<uint32_t>(picture.height), static_cast<uint32_t>(picture.width),
                                 static_cast<uint32_t>(picture.width * 4), 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                 32, 0x41u, 0, 32, 0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u, 0x1000u, 0, 0, 0, 0};
    for (uint32_t value : header) put32(value);
    for (uint32_t pixel : picture.pixels) put32(pixel);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

// Grey grain: a hashed value per texel around the given level.
Picture Grain(int side, int cell, float level) {
    Picture picture{side, side, {}};
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const uint32_t hash = (static_cast<uint32_t>(x / cell) * 73856093u ^ static_cast<uint32_t>(y / cell) * 19349663u) % 97u;
            const float grey = level + 0.2f * (static_cast<float>(hash) / 96.0f - 0.5f);
            picture.pixels.push_back(Argb(1.0f, grey, grey, grey));
        }
    }
    return picture;
}

struct Colour {
    float r, g, b;
};

// A point of a level's ground, in level units (x east, y north).
struct GroundPoint {
    float x, y;
};

// The way a level's missions drive: the player's start, then its check points by number.
std::vector<GroundPoint> Course(const SPLevelFile& level) {
    std::vector<std::pair<int32_t, GroundPoint>> checkPoints;
    std::vector<GroundPoint> course;
    for (const SPLevelRecord& record : level.records) {
        const SPLevelRecordName name = ClassifyLevelRecord(record.name);
        const GroundPoint point{record.position.x, record.position.y};
        if (name.kind == LevelRecordKind::Player) course.push_back(point);
        if (name.kind == LevelRecordKind::CheckPoint) checkPoints.emplace_back(name.checkPointNumber, point);
    }
    std::stable_sort(checkPoints.begin(), checkPoints.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& checkPoint : checkPoints) course.push_back(checkPoint.second);
    return course;
}

float DistanceToSegment(GroundPoint p, GroundPoint a, GroundPoint b) {
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float length = dx * dx + dy * dy;
    const float t = length > 0.0f ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length, 0.0f, 1.0f) : 0.0f;
    return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

float DistanceToCourse(GroundPoint p, const std::vector<GroundPoint>& course) {
    float nearest = course.size() == 1 ? std::hypot(p.x - course[0].x, p.y - course[0].y) : 1e9f;
    for (size_t i = 1; i < course.size(); ++i) nearest = std::min(nearest, DistanceToSegment(p, course[i - 1], course[i]));
    return nearest;
}

// A level's ground over its whole terrain (the first row is the north edge, the first column the
// west edge, as the terrain and the minimap map it): the ground colour in a faint checker with a
// road 8 units wide along the course, its rim blending into the ground.
Picture LevelColour(const SPLevelFile& level, Colour ground, Colour road) {
    constexpr int kSide = 256;
    constexpr float kRoadHalfWidth = 4.0f;
    constexpr float kRim = 1.5f;
    const std::vector<GroundPoint> course = Course(level);
    Picture picture{kSide, kSide, {}};
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const GroundPoint point{(2.0f * (static_cast<float>(x) + 0.5f) / kSide - 1.0f) * level.halfWidth,
                                    (1.0f - 2.0f * (static_cast<float>(y) + 0.5f) / kSide) * level.halfDepth};
            const float beyond = course.empty() ? kRim : DistanceToCourse(point, course) - kRoadHalfWidth;
            const float onRoad = std::clamp(1.0f - beyond / kRim, 0.0f, 1.0f);
            const float shade = 0.05f * static_cast<float>(((x / 32) + (y / 32)) % 2);
            const auto mix = [onRoad](float from, float to) { return from + (to - from) * onRoad; };
            picture.pixels.push_back(Argb(1.0f, mix(ground.r + shade, road.r), mix(ground.g + shade, road.g), mix(ground.b, road.b)));
        }
    }
    return picture;
}

// The grounds of the sample levels: greens with a brown road, sand with a grey one, grey rock with
// a dark one.
struct LevelLook {
    const char* name;
    Colour ground;
    Colour road;
};
constexpr LevelLook kLevelLooks[] = {{"level1", {0.25f, 0.5f, 0.22f}, {0.55f, 0.46f, 0.3f}},
                                     {"level2", {0.7f, 0.6f, 0.38f}, {0.5f, 0.5f, 0.48f}},
                                     {"level3", {0.45f, 0.45f, 0.47f}, {0.25f, 0.22f, 0.2f}}};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: texgen <folder> <level texts folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    const std::string levelTexts = argv[2];
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
        {"particle_tracer.tga", Tracer()},
        {"particle_flame.tga", Flame()},
        {"spot_scorch.tga", Scorch()},
        {"sample_fog.tga", Squares(16, 16, 0x80B0B8C8u, 0x80B0B8C8u)},
        {"beacon.tga", Stripes(8, 16, 0xFFFFD040u, 0xFF202020u)},
        {"menu.tga", Menu()},
        {"hud.tga", Hud()},
    };
    const struct {
        const char* name;
        Picture picture;
    } levelTextures[] = {
        {"detail1.dds", Grain(32, 1, 0.9f)},
        {"detail2.dds", Grain(32, 4, 0.85f)},
    };
    bool written = true;
    for (const auto& texture : textures) written = WriteTga(folder + "/" + texture.name, texture.picture) && written;
    for (const LevelLook& look : kLevelLooks) {
        const std::string level = folder + "/" + look.name;
        std::error_code created;
        std::filesystem::create_directories(level, created);
        SPLevelFile course;
        std::string error;
        std::ifstream text(levelTexts + "/" + look.name + ".txt");
        std::stringstream content;
        content << text.rdbuf();
        if (!vxlevel::ParseLevelText(content.str(), course, error)) {
            std::fprintf(stderr, "texgen: %s/%s.txt: %s\n", levelTexts.c_str(), look.name, error.c_str());
            return 1;
        }
        const Picture colour = LevelColour(course, look.ground, look.road);
        written = WriteTga(level + "/map.tga", colour) && written;
        written = WriteDds(level + "/color.dds", colour) && written;
        for (const auto& texture : levelTextures) written = WriteDds(level + "/" + texture.name, texture.picture) && written;
    }
    if (!written) {
        std::fprintf(stderr, "texgen: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
