// The font tool on fonts of every kind and on hostile ones: a bitmap font's 1-bit glyphs become
// coverage, and a font whose metrics make no page is refused with the reason, writing nothing.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/TempDir.h"
#include "support/WorkingFolder.h"

namespace {

namespace fs = std::filesystem;

// A BDF font of 10 pixels holding the letter A, an 11 × 10 block with a hole in its second row.
std::string BitmapFont(int ascent, int advance) {
    std::ostringstream font;
    font << "STARTFONT 2.1\nFONT -test-block-medium-r-normal--10-100-75-75-c-110-iso10646-1\nSIZE 10 75 75\n"
         << "FONTBOUNDINGBOX 11 10 0 -2\nSTARTPROPERTIES 2\nFONT_ASCENT " << ascent << "\nFONT_DESCENT 2\n"
         << "ENDPROPERTIES\nCHARS 1\nSTARTCHAR A\nENCODING 65\nSWIDTH 1000 0\nDWIDTH " << advance
         << " 0\nBBX 11 10 0 -2\nBITMAP\nFFE0\n8020\n";
    for (int row = 2; row < 10; ++row) font << "FFE0\n";
    font << "ENDCHAR\nENDFONT\n";
    return font.str();
}

struct ToolRun {
    int exitCode = -1;
    std::string errors;
};

ToolRun RunVxfont(const fs::path& font, const fs::path& output) {
    const fs::path errors = font.parent_path() / "errors.txt";
    const std::string command = std::string(VX_FONT_BINARY) + " '" + font.string() + "' 10 '" + output.string() +
                                "' test 2> '" + errors.string() + "'";
    const int status = std::system(command.c_str());
    ToolRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, testsupport::ReadBytes(errors)};
    fs::remove(errors);
    return run;
}

// The alpha of a pixel of the page (32-bit TGA, origin top left).
int PageAlpha(const std::string& tga, int width, int x, int y) {
    return static_cast<uint8_t>(tga.at(18 + (static_cast<size_t>(y) * width + x) * 4 + 3));
}

TEST(VxfontTest, ABitmapFontsOneBitGlyphsBecomeOpaqueAndClearPixels) {
    testsupport::TempDir folder;
    std::ofstream(folder / "block.bdf") << BitmapFont(8, 11);
    const ToolRun run = RunVxfont(folder / "block.bdf", folder.Path());
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const std::string tga = testsupport::ReadBytes(folder / "test.tga");
    const std::string metrics = testsupport::ReadBytes(folder / "test.fnt");
    ASSERT_NE(metrics.find("x\t15\r\ny\t10\r\n"), std::string::npos) << metrics;
    EXPECT_NE(metrics.find("A\t11\r\n"), std::string::npos) << metrics;
    const int width = 15 * 16;
    ASSERT_EQ(tga.size(), 18u + static_cast<size_t>(width) * 100 * 4);
    // 'A' is the 34th cell (0x41 - 0x20): column 1, row 2 of the page.
    const int cellX = 1 * 15, cellY = 2 * 10;
    EXPECT_EQ(PageAlpha(tga, width, cellX + 0, cellY + 0), 255);
    EXPECT_EQ(PageAlpha(tga, width, cellX + 10, cellY + 0), 255);
    EXPECT_EQ(PageAlpha(tga, width, cellX + 5, cellY + 1), 0) << "the hole";
    EXPECT_EQ(PageAlpha(tga, width, cellX + 10, cellY + 9), 255);
    EXPECT_EQ(PageAlpha(tga, width, cellX + 11, cellY + 9), 0) << "beyond the glyph";
}

TEST(VxfontTest, AFontWhoseMetricsMakeNoPageIsRefusedAndNothingIsWritten) {
    struct Case {
        const char* name;
        std::string font;
        const char* reason;
    };
    const Case cases[] = {
        {"negative ascent", BitmapFont(-20, 11), "ascent"},
        {"huge advance", BitmapFont(8, 30000), "advance 30000"},
        {"no font at all", "STARTFONT nonsense", "cannot read the font"},
    };
    for (const Case& c : cases) {
        testsupport::TempDir folder;
        std::ofstream(folder / "hostile.bdf") << c.font;
        const ToolRun run = RunVxfont(folder / "hostile.bdf", folder.Path());
        EXPECT_EQ(run.exitCode, 1) << c.name << ": " << run.errors;
        EXPECT_NE(run.errors.find(c.reason), std::string::npos) << c.name << ": " << run.errors;
        size_t files = 0;
        for (const auto& entry : fs::directory_iterator(folder.Path())) files += entry.path().filename() != "hostile.bdf";
        EXPECT_EQ(files, 0u) << c.name << ": a failed run leaves files";
    }
}

// The page cannot be written (a folder lies in its place): no metrics file appears either.
TEST(VxfontTest, AFailedWriteLeavesNoHalfFont) {
    testsupport::TempDir folder;
    std::ofstream(folder / "block.bdf") << BitmapFont(8, 11);
    fs::create_directory(folder / "test.tga");
    const ToolRun run = RunVxfont(folder / "block.bdf", folder.Path());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.errors.find("cannot write"), std::string::npos) << run.errors;
    EXPECT_FALSE(fs::exists(folder / "test.fnt"));
    EXPECT_TRUE(fs::is_directory(folder / "test.tga"));
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(folder.Path())) files += entry.is_regular_file();
    EXPECT_EQ(files, 1u) << "only the font: no temporary is left";
}

}  // namespace
