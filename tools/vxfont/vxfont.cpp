// vxfont: renders the characters of the game's code page from a TrueType font into a bitmap
// font the interface reads: a page <name>.tga of 10 rows of 16 cells, white glyphs whose alpha
// is their coverage, and the metrics file <name>.fnt (the page and cell sizes, then one line per
// cell: the character and its advance in pixels).
//
//   vxfont <font.ttf> <pixel size> <output folder> <name>
//
// The cells hold, in order, the printable ASCII characters 0x20..0x7E, then Ё (0xA8) and the
// Cyrillic letters А..я (0xC0..0xFF) of the game's code page, Windows-1251: 160 characters.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kColumns = 16;
constexpr int kRows = 10;
// Room on the right of every glyph for the overlap of neighbouring quads (the font list's scale).
constexpr int kCellMargin = 4;

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

bool WriteTga(const std::string& path, const Page& page) {
    std::vector<uint8_t> bytes(18, 0);
    bytes[2] = 2;  // true colour
    bytes[12] = static_cast<uint8_t>(page.width);
    bytes[13] = static_cast<uint8_t>(page.width >> 8);
    bytes[14] = static_cast<uint8_t>(page.height);
    bytes[15] = static_cast<uint8_t>(page.height >> 8);
    bytes[16] = 32;
    bytes[17] = 0x28;  // eight alpha bits, origin top left
    for (const uint8_t a : page.alpha) bytes.insert(bytes.end(), {0xFF, 0xFF, 0xFF, a});
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

// Copies the rendered glyph into its cell, its pen origin at (originX, baseline), clipped to the cell.
void DrawGlyph(const FT_GlyphSlot glyph, Page& page, int cellX, int cellY, int cellWidth, int cellHeight,
               int baseline) {
    const FT_Bitmap& bitmap = glyph->bitmap;
    const int left = std::max(0, glyph->bitmap_left);
    const int top = baseline - glyph->bitmap_top;
    for (unsigned row = 0; row < bitmap.rows; ++row) {
        for (unsigned column = 0; column < bitmap.width; ++column) {
            const int x = left + static_cast<int>(column);
            const int y = top + static_cast<int>(row);
            if (x < 0 || y < 0 || x >= cellWidth || y >= cellHeight) continue;
            page.alpha[static_cast<size_t>((cellY + y) * page.width + cellX + x)] =
                bitmap.buffer[row * static_cast<unsigned>(bitmap.pitch) + column];
        }
    }
}

int Fail(const char* message, const char* detail) {
    std::fprintf(stderr, "vxfont: %s%s\n", message, detail);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) return Fail("usage: vxfont <font.ttf> <pixel size> <output folder> <name>", "");
    const int pixelSize = std::atoi(argv[2]);
    if (pixelSize <= 0 || pixelSize > 256) return Fail("the pixel size must be 1 to 256: ", argv[2]);
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library) != 0) return Fail("FreeType does not start", "");
    if (FT_New_Face(library, argv[1], 0, &face) != 0) return Fail("cannot read the font ", argv[1]);
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize));

    const std::vector<Character> characters = PageCharacters();
    std::vector<int> advances;
    int widest = 0;
    for (const Character& character : characters) {
        const int advance = FT_Load_Char(face, character.codePoint, FT_LOAD_DEFAULT) == 0
                                ? static_cast<int>((face->glyph->advance.x + 32) >> 6)
                                : 0;
        advances.push_back(advance);
        widest = std::max(widest, advance);
    }
    const int ascender = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
    const int descender = static_cast<int>(-face->size->metrics.descender >> 6);
    const int cellWidth = widest + kCellMargin;
    const int cellHeight = ascender + descender;
    Page page{cellWidth * kColumns, cellHeight * kRows, {}};
    page.alpha.assign(static_cast<size_t>(page.width * page.height), 0);

    const std::string base = std::string(argv[3]) + "/" + argv[4];
    std::ofstream metrics(base + ".fnt", std::ios::binary);
    metrics << "width\t" << page.width << "\r\nheight\t" << page.height << "\r\nx\t" << cellWidth << "\r\ny\t"
            << cellHeight << "\r\n";
    for (size_t i = 0; i < characters.size(); ++i) {
        const int cellX = static_cast<int>(i % kColumns) * cellWidth;
        const int cellY = static_cast<int>(i / kColumns) * cellHeight;
        if (FT_Load_Char(face, characters[i].codePoint, FT_LOAD_RENDER) == 0) {
            DrawGlyph(face->glyph, page, cellX, cellY, cellWidth, cellHeight, ascender);
        }
        const uint8_t code = characters[i].code;
        if (code == ' ') {
            metrics << "space";
        } else {
            metrics << static_cast<char>(code);
        }
        metrics << '\t' << advances[i] << "\r\n";
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    if (!metrics.flush()) return Fail("cannot write ", (base + ".fnt").c_str());
    if (!WriteTga(base + ".tga", page)) return Fail("cannot write ", (base + ".tga").c_str());
    return 0;
}
