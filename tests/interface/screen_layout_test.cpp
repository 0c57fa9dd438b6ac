// Interface layouts: parsing, placement on the actual screen, and the quads built from them.
#include <gtest/gtest.h>

#include <cmath>

#include "interface/PInterfaceLayout.h"
#include "interface/ScreenAnchor.h"
#include "interface/PWindow.h"
#include "Render/PRenderObject.h"
#include "screen_fixture.h"

namespace {

SPInterfaceLayout Parse(const std::string& text) {
    return ParseInterfaceLayout(text.data(), static_cast<int32_t>(text.size()));
}

TEST(ScreenAnchorTest, MovesDesignPositionsToAnOtherScreenSize) {
    struct Case {
        const char* anchor;
        float x, y, expectedX, expectedY;
    };
    const Case cases[] = {
        {"lu", 900, 700, 900, 700},    {"ld", 900, 700, 900, 532},   {"ru", 900, 700, 676, 700},
        {"rd", 900, 700, 676, 532},    {"cu", 512, 10, 400, 10},     {"cd", 512, 700, 400, 532},
        {"center", 512, 384, 400, 300}, {"RU", 900, 700, 900, 700},  {"", 900, 700, 900, 700},
    };
    for (const Case& c : cases) {
        float x = c.x, y = c.y;
        ApplyAnchor(x, y, c.anchor, 800, 600);
        EXPECT_FLOAT_EQ(x, c.expectedX) << c.anchor;
        EXPECT_FLOAT_EQ(y, c.expectedY) << c.anchor;
    }
}

TEST(InterfaceLayoutTest, HeaderLinesAndRecords) {
    const SPInterfaceLayout layout = Parse(
        "menu\n"
        "menu.tga,256,128\n"
        "x,on,0,0,1,1,0.5,0.25,smooth\n"
        "WINDOW\n"
        "back 10,20,30,40,64,32,128,64,false,ru\n"
        "garbage line\n"
        "text\n"
        "title title,100,50,\"Hello world\",center,true\n"
        "cursor\n"
        "arrow cursor.rdf\n"
        "button\n"
        "ok 1,2,3,4,0,0,8,8\n");
    EXPECT_EQ(layout.script, "menu");
    EXPECT_EQ(layout.texture, "menu.tga");
    EXPECT_TRUE(layout.light);
    EXPECT_FLOAT_EQ(layout.lightColour.y, 0.5f);
    EXPECT_TRUE(layout.smooth);
    ASSERT_EQ(layout.elements.size(), 4u);

    const SPWindowDef& back = layout.elements[0].looks.at(0);
    EXPECT_EQ(back.name, "back");
    EXPECT_FLOAT_EQ(back.x, 9.5f);
    EXPECT_FLOAT_EQ(back.y, 19.5f);
    EXPECT_FLOAT_EQ(back.left, 0.25f);
    EXPECT_FLOAT_EQ(back.right, 0.75f);
    EXPECT_FLOAT_EQ(back.bottom, 0.75f);
    EXPECT_EQ(back.visible, std::optional<bool>(false));
    EXPECT_EQ(back.anchor, "ru");

    const SPTextDef& title = layout.elements[1].text;
    EXPECT_EQ(title.name, "title");
    EXPECT_EQ(title.text, "Hello world");
    EXPECT_FLOAT_EQ(title.x, 100.5f);
    EXPECT_EQ(title.anchor, "center");
    EXPECT_TRUE(title.centred);

    EXPECT_EQ(layout.elements[2].cursorObject, "cursor.rdf");
    const SPLayoutElement& button = layout.elements[3];
    ASSERT_EQ(button.looks.size(), 3u) << "a button short of lines gets empty looks";
    EXPECT_EQ(button.looks[1].name, "");
}

TEST(InterfaceLayoutTest, MissingTextureSizeDividesNothing) {
    for (const char* header : {"menu\nmenu.tga,0,0\n", "menu\nmenu.tga\n", "menu\n"}) {
        const SPInterfaceLayout layout = Parse(std::string(header) + "x\nwindow\nw 0,0,10,10,5,5,5,5\n");
        const SPWindowDef& window = layout.elements.empty() ? SPWindowDef{} : layout.elements[0].looks[0];
        for (float coordinate : {window.left, window.top, window.right, window.bottom}) {
            EXPECT_TRUE(std::isfinite(coordinate)) << header;
            EXPECT_FLOAT_EQ(coordinate, 0.0f) << header;
        }
    }
}

class ScreenGeometryTest : public ScreenTest {
protected:
    std::vector<SPVertex>& Quads(CPInterface& screen) {
        return screen.GetAttachment().Get<CPRenderObject>()->GetVertices();
    }
};

TEST_F(ScreenGeometryTest, WindowsArePlacedOnTheScreen) {
    CPInterface& screen = Screen(
        "menu\nmenu.tga,256,128\nx\n"
        "window\nright 900.5,10.5,20,10,0,0,8,8,true,ru\n"
        "window\nwide 0.5,0.5,1024,768,0,0,8,8,true,stretch\n"
        "window\nhidden 0,0,5,5,0,0,8,8,false\n"
        "window\ncursor 0,0,5,5,0,0,8,8\n");
    EXPECT_FLOAT_EQ(screen.FindElement("right")->x, 676.0f);
    EXPECT_FLOAT_EQ(screen.FindElement("wide")->w, 800.0f);
    EXPECT_FLOAT_EQ(screen.FindElement("wide")->h, 600.0f);
    EXPECT_EQ(screen.FindElement("cursor"), nullptr) << "a window named cursor is never shown";
    ASSERT_EQ(Quads(screen).size(), 8u) << "two visible windows";
    EXPECT_FLOAT_EQ(Quads(screen)[1].position.x, 696.0f);
    EXPECT_FLOAT_EQ(Quads(screen)[6].position.y, 600.0f);
}

TEST_F(ScreenGeometryTest, SameNamedWindowsAreBothDrawnAndATurnedOneTurnsAboutItsCentre) {
    CPInterface& screen = Screen(
        "menu\nmenu.tga,256,128\nx\n"
        "window\ntwin 0.5,0.5,5,5,0,0,8,8\n"
        "window\ntwin 50.5,50.5,5,5,0,0,8,8\n");
    EXPECT_EQ(Quads(screen).size(), 8u);
    CPWindow& later = *screen.FindElement("twin");
    EXPECT_FLOAT_EQ(later.x, 50.0f) << "the map knows the later one";

    later.x = 100.0f;
    later.y = 100.0f;
    later.SetQuadSize(20.0f, 10.0f);
    later.w = 20.0f;
    later.h = 10.0f;
    later.angle = static_cast<float>(M_PI / 2.0);
    screen.BuildGeometry();
    float sumX = 0.0f, sumY = 0.0f;
    for (size_t i = 4; i < 8; ++i) {
        sumX += Quads(screen)[i].position.x;
        sumY += Quads(screen)[i].position.y;
    }
    EXPECT_NEAR(sumX / 4.0f, 100.0f, 1e-4f);
    EXPECT_NEAR(sumY / 4.0f, 100.0f, 1e-4f);
    EXPECT_NEAR(std::fabs(Quads(screen)[5].position.x - Quads(screen)[4].position.x), 0.0f, 1e-4f)
        << "the top edge now runs down";
}

TEST_F(ScreenGeometryTest, AMissingLayoutGivesAnEmptyScreen) {
    m_screens.emplace_back(new CPInterface);
    m_screens.back()->Load("nothing", 0);
    EXPECT_EQ(m_screens.back()->GetName(), "nothing");
    EXPECT_TRUE(Quads(*m_screens.back()).empty());
    EXPECT_FALSE(m_screens.back()->GetScript());
}

}  // namespace
