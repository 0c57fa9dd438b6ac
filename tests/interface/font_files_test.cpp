#include <gtest/gtest.h>

#include <string>

#include "interface/FontFiles.h"
#include "interface/LayerOffset.h"

namespace {

std::vector<SPFontListEntry> List(const std::string& text) {
    return ParseFontList(text.data(), static_cast<int32_t>(text.size()));
}

bool Metrics(const std::string& text, SPFontGlyphs& glyphs, float scale = 2.0f, float spacing = 0.0f) {
    return ParseFontMetrics(text.data(), static_cast<int32_t>(text.size()), scale, spacing, glyphs);
}

const std::string kHeader = "width\t256\nheight\t128\nx\t16\ny\t12\n";

TEST(FontListTest, FieldsAndDefaults) {
    const auto fonts = List(
        "// comment\n"
        "plain\n"
        "full\t1.5\t3\t2\n"
        "\"two words\"\tnan\t-1\n"
        "\"\"\t3.0\n");
    ASSERT_EQ(fonts.size(), 3u);
    EXPECT_EQ(fonts[0].name, "plain");
    EXPECT_FLOAT_EQ(fonts[0].scale, 2.0f);
    EXPECT_EQ(fonts[0].layerOffset, 0);
    EXPECT_FLOAT_EQ(fonts[0].spacing, 0.0f);
    EXPECT_EQ(fonts[1].name, "full");
    EXPECT_FLOAT_EQ(fonts[1].scale, 1.5f);
    EXPECT_EQ(fonts[1].layerOffset, 3);
    EXPECT_FLOAT_EQ(fonts[1].spacing, 2.0f);
    EXPECT_EQ(fonts[2].name, "two words");
    EXPECT_FLOAT_EQ(fonts[2].scale, 2.0f) << "a scale that is no number keeps the default";
    EXPECT_EQ(fonts[2].layerOffset, -1);
}

TEST(FontListTest, LayerOffsetsAreHeldWithinTheLimit) {
    const struct {
        const char* field;
        int32_t offset;
    } cases[] = {{"99999999999", kLayerOffsetLimit}, {"-99999999999", -kLayerOffsetLimit}, {"2147483647", kLayerOffsetLimit},
                 {"1000000", 1000000}, {"-7", -7}};
    for (const auto& c : cases) {
        const auto fonts = List(std::string("f\t2.0\t") + c.field + "\n");
        ASSERT_EQ(fonts.size(), 1u) << c.field;
        EXPECT_EQ(fonts[0].layerOffset, c.offset) << c.field;
    }
}

TEST(FontMetricsTest, RefusesFilesThatCannotMakeAFont) {
    struct Case {
        const char* what;
        std::string text;
        float scale;
    };
    const Case cases[] = {
        {"empty file", "", 2.0f},
        {"header cut short", "width\t256\nheight\t128\nx\t16\n", 2.0f},
        {"keywords out of order", "height\t128\nwidth\t256\nx\t16\ny\t12\n", 2.0f},
        {"page width 0", "width\t0\nheight\t128\nx\t16\ny\t12\nA\t5\n", 2.0f},
        {"page height 0", "width\t256\nheight\t0\nx\t16\ny\t12\nA\t5\n", 2.0f},
        {"page width + scale 0", "width\t2\nheight\t128\nx\t16\ny\t12\nA\t5\n", -2.0f},
    };
    for (const Case& c : cases) {
        SPFontGlyphs glyphs;
        EXPECT_FALSE(Metrics(c.text, glyphs, c.scale)) << c.what;
    }
}

TEST(FontMetricsTest, GlyphsTakeTheirCellsInRowMajorOrder) {
    // 16 glyphs fill row 0; the 17th starts row 1. "space" is the blank, a byte above 0x7F is a
    // character of its own, and a later line for a character replaces the earlier one.
    std::string text = kHeader + "space\t4\n";
    for (char c = 'a'; c < 'a' + 14; ++c) text += std::string(1, c) + "\t6\n";
    text += "\xC0\t9\n";  // column 15
    text += "b\t8\n";     // row 1, column 0: replaces "b"
    SPFontGlyphs glyphs;
    ASSERT_TRUE(Metrics(text, glyphs, 2.0f, 1.0f));
    EXPECT_FLOAT_EQ(glyphs.lineHeight, 12.0f);

    EXPECT_FLOAT_EQ(glyphs.advances[' '], 4.0f + 1.0f + 2.0f);
    EXPECT_FLOAT_EQ(glyphs.rects[' '].left, 0.0f);

    const SPGlyphRect& high = glyphs.rects[0xC0];
    EXPECT_FLOAT_EQ(high.left, 15.0f * 16.0f / 256.0f);
    EXPECT_FLOAT_EQ(high.top, 0.0f);
    EXPECT_FLOAT_EQ(high.right, high.left + (9.0f + 1.0f + 2.0f) / (256.0f + 2.0f));
    EXPECT_FLOAT_EQ(high.bottom, 12.0f / 128.0f);
    EXPECT_FLOAT_EQ(glyphs.advances[0xC0], 12.0f);

    EXPECT_FLOAT_EQ(glyphs.rects['b'].left, 0.0f);
    EXPECT_FLOAT_EQ(glyphs.rects['b'].top, 12.0f / 128.0f);
    EXPECT_FLOAT_EQ(glyphs.advances['b'], 11.0f);
    EXPECT_FLOAT_EQ(glyphs.advances['z'], 0.0f) << "a character without a line takes no room";
}

TEST(FontMetricsTest, StopsAfterTheLastCell) {
    std::string text = kHeader;
    for (int i = 0; i < 160; ++i) text += "a\t1\n";
    text += "Z\t5\n";  // a 161st line has no cell
    SPFontGlyphs glyphs;
    ASSERT_TRUE(Metrics(text, glyphs));
    EXPECT_FLOAT_EQ(glyphs.advances['Z'], 0.0f);
    EXPECT_FLOAT_EQ(glyphs.rects['a'].top, 9.0f * 12.0f / 128.0f);
}

}  // namespace
