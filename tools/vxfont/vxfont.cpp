// vxfont: renders the characters of the game's code page from a TrueType font into a bitmap
// font the interface reads: a page <name>.tga of 10 rows of 16 cells, white glyphs whose alpha
// is their coverage, and the metrics file <name>.fnt (the page and cell sizes, then one line per
// cell: the character and its advance in pixels).
//
//   vxfont <font.ttf> <pixel size> <output folder> <name>
//
// The cells hold, in order, the printable ASCII characters 0x20..0x7E, then Ё (0xA8) and the
// Cyrillic letters А..я (0xC0..0xFF) of the game's code page, Windows-1251: 160 characters.
//
// Any font FreeType reads will do, bitmap fonts too (their 1-bit or few-level glyphs are turned
// into coverage). A font whose metrics make no page (a negative height, an advance beyond four
// times the pixel size, a page beyond 4096 × 4096 pixels) is refused with the reason and exit
// code 1, and a failed run writes nothing: both files appear together or not at all.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kColumns = 16;
constexpr int kRows = 10;
// Room on the right of every glyph for the overlap of neighbouring quads (the font list's scale).
constexpr int kCellMargin = 4;
// The most a glyph's advance, the ascent or the descent may be, in pixel sizes.
constexpr int kLargestMetric = 4;
// The largest page, in pixels on each side.
constexpr int kLargestPage = 4096;

struct Character {
    uint8_t code;        // the byte in the game's code page
    char32_t codePoint;  // the character in Unicode
};

std::vector<Character> PageCharacters() {
    std::vector<Character> characters;
    for (uint8_t c = 0x20; c <= 0x7E; ++c) characters.push_back({c, c});
    characters.push_back({0xA8, 0x0401});
    for (int c = 0xC0; c <= 0xFF; ++c) {
        characters.push_back({static_cast<uint8_t>(c), static_cast<char32_t>(0x0410 + c - 0xC0)});
    }
    return characters;
}

struct Page {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> alpha;
};

std::vector<uint8_t> EncodeTga(const Page& page) {
    std::vector<uint8_t> bytes(18, 0);
    bytes[2] = 2;  // true colour
    bytes[12] = static_cast<uint8_t>(page.width);
    bytes[13] = static_cast<uint8_t>(page.width >> 8);
    bytes[14] = static_cast<uint8_t>(page.height);
    bytes[15] = static_cast<uint8_t>(page.height >> 8);
    bytes[16] = 32;
    bytes[17] = 0x28;  // eight alpha bits, origin top left
    for (const uint8_t a : page.alpha) bytes.insert(bytes.end(), {0xFF, 0xFF, 0xFF, a});
    return bytes;
}

// The glyph's coverage, one byte a pixel from 0 to 255 whatever FreeType rendered (1-bit, few
// levels, grey or colour); false when it cannot be converted.
bool Coverage(FT_Library library, const FT_Bitmap& rendered, FT_Bitmap& coverage) {
    if (FT_Bitmap_Convert(library, &rendered, &coverage, 1) != 0) return false;
    const unsigned levels = coverage.num_grays > 1 ? static_cast<unsigned>(coverage.num_grays) - 1 : 1;
    const size_t size = static_cast<size_t>(coverage.rows) * static_cast<size_t>(coverage.pitch);
    for (size_t i = 0; i < size; ++i) coverage.buffer[i] = static_cast<uint8_t>(std::min(255u, coverage.buffer[i] * 255u / levels));
    return true;
}

// Copies the coverage into its cell, its pen origin at (left, baseline), clipped to the cell.
void DrawGlyph(const FT_Bitmap& coverage, int bitmapLeft, int bitmapTop, Page& page, int cellX, int cellY,
               int cellWidth, int cellHeight, int baseline) {
    const int left = std::max(0, bitmapLeft);
    const int top = baseline - bitmapTop;
    for (unsigned row = 0; row < coverage.rows; ++row) {
        for (unsigned column = 0; column < coverage.width; ++column) {
            const int x = left + static_cast<int>(column);
            const int y = top + static_cast<int>(row);
            if (x < 0 || y < 0 || x >= cellWidth || y >= cellHeight) continue;
            page.alpha[static_cast<size_t>((cellY + y) * page.width + cellX + x)] =
                coverage.buffer[row * static_cast<unsigned>(coverage.pitch) + column];
        }
    }
}

// Writes the bytes to a temporary file beside path; the temporary's name, or "" when it fails.
std::string WriteTemporary(const std::string& path, const std::string& bytes) {
    const std::string temporary = path + ".vxfont.tmp";
    std::ofstream file(temporary, std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (file) return temporary;
    unlink(temporary.c_str());
    return "";
}

// Writes both files: each to a temporary file first, renamed into place once both are written.
bool WriteFiles(const std::string& base, const std::string& metrics, const std::vector<uint8_t>& tga,
                std::string& failed) {
    const std::string metricsPath = base + ".fnt";
    const std::string pagePath = base + ".tga";
    const std::string metricsTemporary = WriteTemporary(metricsPath, metrics);
    const std::string pageTemporary =
        metricsTemporary.empty() ? "" : WriteTemporary(pagePath, std::string(tga.begin(), tga.end()));
    if (metricsTemporary.empty() || pageTemporary.empty()) {
        if (!metricsTemporary.empty()) unlink(metricsTemporary.c_str());
        failed = metricsTemporary.empty() ? metricsPath : pagePath;
        return false;
    }
    if (std::rename(pageTemporary.c_str(), pagePath.c_str()) != 0) {
        unlink(pageTemporary.c_str());
        unlink(metricsTemporary.c_str());
        failed = pagePath;
        return false;
    }
    if (std::rename(metricsTemporary.c_str(), metricsPath.c_str()) != 0) {
        unlink(metricsTemporary.c_str());
        unlink(pagePath.c_str());
        failed = metricsPath;
        return false;
    }
    return true;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "vxfont: %s\n", message.c_str());
    return 1;
}

// The cell size the font's metrics make; false, with the reason, when they make no usable page.
bool CellSize(const FT_Face face, int pixelSize, int widest, int& cellWidth, int& cellHeight, int& ascender,
              std::string& error) {
    const long largest = static_cast<long>(kLargestMetric) * pixelSize;
    const long ascent = (face->size->metrics.ascender + 63) >> 6;
    const long descent = -face->size->metrics.descender >> 6;
    if (ascent <= 0 || ascent > largest || descent < 0 || descent > largest) {
        error = "the font's ascent " + std::to_string(ascent) + " and descent " + std::to_string(descent) +
                " make no line of " + std::to_string(pixelSize) + " pixels";
        return false;
    }
    if (widest > largest) {
        error = "the font's advance " + std::to_string(widest) + " is more than " + std::to_string(kLargestMetric) +
                " times the pixel size";
        return false;
    }
    cellWidth = widest + kCellMargin;
    cellHeight = static_cast<int>(ascent + descent);
    ascender = static_cast<int>(ascent);
    if (cellWidth * kColumns > kLargestPage || cellHeight * kRows > kLargestPage) {
        error = "the page would be " + std::to_string(cellWidth * kColumns) + " x " + std::to_string(cellHeight * kRows) +
                " pixels, more than " + std::to_string(kLargestPage) + " on a side";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) return Fail("usage: vxfont <font.ttf> <pixel size> <output folder> <name>");
    const int pixelSize = std::atoi(argv[2]);
    if (pixelSize <= 0 || pixelSize > 256) return Fail(std::string("the pixel size must be 1 to 256: ") + argv[2]);
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library) != 0) return Fail("FreeType does not start");
    if (FT_New_Face(library, argv[1], 0, &face) != 0) return Fail(std::string("cannot read the font ") + argv[1]);
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize));

    const std::vector<Character> characters = PageCharacters();
    std::vector<long> advances;
    long widest = 0;
    for (const Character& character : characters) {
        const long advance =
            FT_Load_Char(face, character.codePoint, FT_LOAD_DEFAULT) == 0 ? (face->glyph->advance.x + 32) >> 6 : 0;
        advances.push_back(advance);
        widest = std::max(widest, advance);
    }
    int cellWidth = 0, cellHeight = 0, ascender = 0;
    std::string error;
    if (!CellSize(face, pixelSize, static_cast<int>(std::min<long>(widest, 1L << 24)), cellWidth, cellHeight, ascender,
                  error)) {
        return Fail(std::string(argv[1]) + ": " + error);
    }
    Page page{cellWidth * kColumns, cellHeight * kRows, {}};
    page.alpha.assign(static_cast<size_t>(page.width * page.height), 0);

    std::ostringstream metrics;
    metrics << "width\t" << page.width << "\r\nheight\t" << page.height << "\r\nx\t" << cellWidth << "\r\ny\t"
            << cellHeight << "\r\n";
    FT_Bitmap coverage;
    FT_Bitmap_Init(&coverage);
    for (size_t i = 0; i < characters.size(); ++i) {
        const int cellX = static_cast<int>(i % kColumns) * cellWidth;
        const int cellY = static_cast<int>(i / kColumns) * cellHeight;
        if (FT_Load_Char(face, characters[i].codePoint, FT_LOAD_RENDER) == 0 &&
            Coverage(library, face->glyph->bitmap, coverage)) {
            DrawGlyph(coverage, face->glyph->bitmap_left, face->glyph->bitmap_top, page, cellX, cellY, cellWidth,
                      cellHeight, ascender);
        }
        const uint8_t code = characters[i].code;
        if (code == ' ') {
            metrics << "space";
        } else {
            metrics << static_cast<char>(code);
        }
        metrics << '\t' << std::max(0L, advances[i]) << "\r\n";
    }
    FT_Bitmap_Done(library, &coverage);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    std::string failed;
    if (!WriteFiles(std::string(argv[3]) + "/" + argv[4], metrics.str(), EncodeTga(page), failed)) {
        return Fail("cannot write " + failed);
    }
    return 0;
}
