#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/PLog.h"
#include "core/PMMObject.h"
#include "interface/PFontManager.h"
#include "Render/PGameObject.h"
#include "Render/PRenderObject.h"
#include "platform/PathResolver.h"
#include "support/WorkingFolder.h"

namespace {

// One font "f" with scale 2 and spacing 1 on a 160 × 120 page of 10 × 12 cells: "A" is 10
// texels wide, "B" 6 and the byte 0xC0 8; a line height of 12.
class FontTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder.Write("data/fonts/fonts.dat", "f\t2.0\t0\t1\nmissing\t2.0\t0\t0\nbroken\n");
        m_folder.Write("data/fonts/f.fnt", "width\t160\nheight\t120\nx\t10\ny\t12\nA\t10\nB\t6\n\xC0\t8\n");
        m_folder.Write("data/fonts/broken.fnt", "width\t0\nheight\t120\nx\t10\ny\t12\nA\t10\n");
        ASSERT_TRUE(m_fonts.Load());
        m_text = new CPGameObject("text");
        m_text->SetAttachment(CPGameObject::kMesh, new CPRenderObject(m_text.Get()));
    }
    void TearDown() override {
        m_text = nullptr;
        CollectGarbage();
    }

    std::vector<SPVertex>& Vertices() { return m_text->GetAttachment().Get<CPRenderObject>()->GetVertices(); }
    // The left x of each quad and its width.
    std::vector<std::pair<float, float>> Quads() {
        std::vector<std::pair<float, float>> quads;
        const auto& vertices = Vertices();
        for (size_t i = 0; i + 3 < vertices.size(); i += 4) {
            quads.emplace_back(vertices[i].position.x, vertices[i + 1].position.x - vertices[i].position.x);
        }
        return quads;
    }

    testsupport::WorkingFolder m_folder;
    CPFontManager m_fonts;
    TPtr<CPGameObject> m_text;
};

TEST_F(FontTextTest, OnlyUsableFontsAreLoaded) {
    EXPECT_NE(m_fonts.FindFont("f"), nullptr);
    EXPECT_EQ(m_fonts.FindFont("F"), nullptr) << "names are compared exactly";
    EXPECT_EQ(m_fonts.FindFont("missing"), nullptr);
    EXPECT_EQ(m_fonts.FindFont("broken"), nullptr);
}

TEST_F(FontTextTest, QuadsOverlapByScaleAndHalfTheSpacing) {
    // Each quad is 10 + 1 + 2 = 13 pixels wide; the pen moves 13 - 2 - 0.5 = 10.5.
    EXPECT_FLOAT_EQ(m_fonts.MeasureText("f", "AA"), 21.0f);
    ASSERT_TRUE(m_fonts.MakeText(m_text.Get(), 5.0f, 7.0f, "f", "AA", false));
    const auto quads = Quads();
    ASSERT_EQ(quads.size(), 2u);
    EXPECT_FLOAT_EQ(quads[0].first, 5.0f);
    EXPECT_FLOAT_EQ(quads[0].second, 13.0f);
    EXPECT_FLOAT_EQ(quads[1].first, 15.5f);
    EXPECT_FLOAT_EQ(Vertices()[2].position.y, 7.0f + 12.0f);
    const auto& indices = m_text->GetAttachment().Get<CPRenderObject>()->GetIndices();
    EXPECT_EQ(indices, (std::vector<uint16_t>{0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7}));
}

TEST_F(FontTextTest, HighBytesHaveTheirOwnGlyphs) {
    m_fonts.MakeText(m_text.Get(), 0.0f, 0.0f, "f", "\xC0", false);
    ASSERT_EQ(Quads().size(), 1u);
    EXPECT_FLOAT_EQ(Quads()[0].second, 11.0f);
    EXPECT_FLOAT_EQ(Vertices()[0].tex0.x, 2.0f * 10.0f / 160.0f) << "the third cell of row 0";
}

TEST_F(FontTextTest, CentredLinesEachCentreOnX) {
    // "AB" measures 10.5 + 6.5 = 17, "A" 10.5.
    m_fonts.MakeText(m_text.Get(), 100.0f, 50.0f, "f", "AB^A", true);
    const auto quads = Quads();
    ASSERT_EQ(quads.size(), 3u);
    EXPECT_FLOAT_EQ(quads[0].first, 100.0f - 17.0f / 2.0f);
    EXPECT_FLOAT_EQ(quads[2].first, 100.0f - 10.5f / 2.0f);
    EXPECT_FLOAT_EQ(Vertices()[8].position.y, 62.0f);
}

TEST_F(FontTextTest, CentredTextEndingInCaretsHasNoLinesAfterIt) {
    for (const char* text : {"A^", "A^^", "^", "^^"}) {
        m_fonts.MakeText(m_text.Get(), 100.0f, 0.0f, "f", text, true);
        const size_t glyphs = std::string(text).front() == 'A' ? 1u : 0u;
        EXPECT_EQ(Quads().size(), glyphs) << text;
    }
}

TEST_F(FontTextTest, UnknownFontBuildsNothingAndMeasuresZero) {
    m_fonts.MakeText(m_text.Get(), 0.0f, 0.0f, "f", "AB", false);
    ASSERT_FALSE(Vertices().empty());
    EXPECT_EQ(m_fonts.MeasureText("nofont", "AB"), 0.0f);
    for (bool centred : {false, true}) {
        EXPECT_TRUE(m_fonts.MakeText(m_text.Get(), 0.0f, 0.0f, "nofont", "AB^C", centred));
        EXPECT_TRUE(Vertices().empty()) << "the old text is gone, no other font takes its place";
    }
}

// Texts vanish when their fonts are missing; the log says which file is missing or unusable,
// and names a font asked for but not loaded once, however often it is asked for.
TEST_F(FontTextTest, WhatIsMissingIsLogged) {
    const bool logging = GetLog()->IsEnabled();
    GetLog()->SetEnabled(true);
    testing::internal::CaptureStderr();
    CPFontManager fonts;
    fonts.Load();
    for (int i = 0; i < 3; ++i) fonts.MakeText(m_text.Get(), 0.0f, 0.0f, "nofont", "AB", false);
    std::filesystem::remove(m_folder.Path() / "data/fonts/fonts.dat");
    platform::InvalidateListings();
    CPFontManager none;
    EXPECT_FALSE(none.Load());
    const std::string log = testing::internal::GetCapturedStderr();
    GetLog()->SetEnabled(logging);

    for (const char* named : {"missing.fnt", "broken.fnt", "fonts.dat"}) {
        EXPECT_NE(log.find(named), std::string::npos) << named << " in: " << log;
    }
    EXPECT_EQ(log.find("f.fnt"), std::string::npos) << "the usable font is not named: " << log;
    const size_t first = log.find("nofont");
    ASSERT_NE(first, std::string::npos) << log;
    EXPECT_EQ(log.find("nofont", first + 1), std::string::npos) << "named once: " << log;
}

TEST_F(FontTextTest, ObjectsThatShowNoMeshAreLeftAlone) {
    TPtr<CPGameObject> group(new CPGameObject("group"));
    EXPECT_FALSE(m_fonts.MakeText(group.Get(), 0.0f, 0.0f, "f", "A", false));
    EXPECT_FALSE(m_fonts.MakeText(nullptr, 0.0f, 0.0f, "f", "A", false));
}

}  // namespace
