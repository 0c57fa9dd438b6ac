// The game's interface, window and text functions, the HUD functions and the small utilities
// beside them, called from scripts.
#include <gtest/gtest.h>

#include <lua.hpp>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "core/PGlobalTimer.h"
#include "core/SettingsVariables.h"
#include "game/PGameData.h"
#include "game/PLevel.h"
#include "game/PPlayerCar.h"
#include "interface/HudArrows.h"
#include "interface/PFontManager.h"
#include "interface/PInterface.h"
#include "Render/PRenderObject.h"
#include "scriptapi/game_functions_fixture.h"
#include "support/ScreenSize.h"

namespace {

namespace fs = std::filesystem;

void WriteText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
    platform::InvalidateListings();
}

// A 3 × 2 uncompressed 32-bit TGA.
std::string SmallTga() {
    std::string bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = 3;
    bytes[14] = 2;
    bytes[16] = 32;
    bytes[17] = 0x28;
    return bytes + std::string(3 * 2 * 4, '\x7F');
}

// The game's folder is "game" inside the test's folder, so that a path can try to leave it. The
// folder holds a screen "hud" with windows, texts and two cursors, and a font "f" whose digits,
// ':' and '-' are told apart by their widths (the quad of kGlyphs[g] is g + 3 pixels wide).
constexpr char kGlyphs[] = "0123456789:-";

class InterfaceFunctionsTest : public RegisteredGameTablesTest {
protected:
    void SetUp() override {
        RegisteredGameTablesTest::SetUp();
        fs::create_directories(m_folder / "game" / "Data" / "Scripts");
        fs::current_path(m_folder / "game");
        platform::InvalidateListings();
        std::string metrics = "width\t160\nheight\t120\nx\t10\ny\t12\n";
        for (int glyph = 0; glyph < 12; ++glyph) {
            metrics += kGlyphs[glyph] + std::string("\t") + std::to_string(glyph + 1) + "\n";
        }
        WriteText("data/fonts/f.fnt", metrics);
        WriteText("data/fonts/fonts.dat", "f\t2.0\t0\t0\n");
        WriteText("data/interface/hud1024.int",
                  "gamemenu\nhud.tga,256,128\nx\n"
                  "window\nslot2 300.5,20.5,64,32,0,0,64,32\n"
                  "window\nssrlauncher 0.5,0.5,64,32,0,0,64,32,false\n"
                  "window\narrow 0.5,0.5,32,32,0,0,32,32,false\n"
                  "window\narrow1 0.5,0.5,32,32,0,0,32,32,false\n"
                  "window\narrow2 0.5,0.5,32,32,0,0,32,32,false\n"
                  "window\npoint1 0,0,8,8,0,0,8,8\nwindow\npoint2 0,0,8,8,0,0,8,8\n"
                  "window\npoint3 0,0,8,8,0,0,8,8\nwindow\npoint4 0,0,8,8,0,0,8,8\n"
                  "text\nlife f,20,20,0\ntext\nbombs f,20,60,0\ntext\nmines f,120,60,0\n"
                  "text\nscore f,20,100,0\ntext\nscore2 f,20,140,0\ntext\ntime f,20,180,0\n");
        ASSERT_TRUE(m_fonts.Load());
        WriteText("Data/Scripts/caller.lua", "");
        m_script = LoadScript("caller", "");
        ASSERT_EQ(Run(*m_script, "hud = CreateInterface('hud', 0)"), "");
    }
    void TearDown() override {
        Run(*m_script, "Release(hud)");
        m_script = nullptr;
        RegisteredGameTablesTest::TearDown();
    }

    CPInterface& Hud() {
        lua_getglobal(m_script->GetState(), "hud");
        CPInterface* hud = CPInterface::FindLive(lua_touserdata(m_script->GetState(), -1));
        lua_pop(m_script->GetState(), 1);
        return *hud;
    }
    // The digits (and ':' and '-') a text shows, read back from its quads' widths.
    std::string Digits(const std::string& text) {
        std::string digits;
        const auto& vertices =
            Hud().FindText(text)->object->GetAttachment().Get<CPRenderObject>()->GetVertices();
        for (size_t i = 0; i + 1 < vertices.size(); i += 4) {
            digits += kGlyphs[static_cast<int>(vertices[i + 1].position.x - vertices[i].position.x) - 3];
        }
        return digits;
    }

    testsupport::ScreenSize m_screenSize{800, 600};
    TPtr<CPLuaScript> m_script;
    CPFontManager m_fonts;
};

TEST_F(InterfaceFunctionsTest, CharactersAndTexts) {
    CPGameData data;
    data.strings["hello"] = "Hello";
    EXPECT_EQ(Run(*m_script, "a = GetChar(65) b = GetChar(321) c = GetChar(0) d = GetString('hello') "
                             "e = GetString('nokey') SaveLog('x')"), "");
    EXPECT_EQ(GlobalText(*m_script, "a"), "A");
    EXPECT_EQ(GlobalText(*m_script, "b"), "A");
    EXPECT_EQ(GlobalText(*m_script, "c"), "");
    EXPECT_EQ(GlobalText(*m_script, "d"), "Hello");
    EXPECT_EQ(GlobalText(*m_script, "e"), "");
    EXPECT_EQ(data.strings.count("nokey"), 1u) << "a missing key is added";

    EXPECT_EQ(Run(*m_script, "SetTextPosition(hud, 'life', 100, 200) SetText(hud, 'life', '7^5')"), "");
    const auto& life = Hud().FindText("life")->object->GetAttachment().Get<CPRenderObject>()->GetVertices();
    ASSERT_EQ(life.size(), 8u);
    EXPECT_FLOAT_EQ(life[0].position.x, 100.0f);
    EXPECT_FLOAT_EQ(life[4].position.y, 212.0f) << "the second line";
    EXPECT_EQ(Run(*m_script, "x, y = GetTextPosition(hud, 'life') SetTextString(hud, 'life', 'nokey2')"), "");
    EXPECT_EQ(GlobalNumber(*m_script, "x"), 100.0);
    EXPECT_EQ(Digits("life"), "");
}

TEST_F(InterfaceFunctionsTest, WindowsMoveResizeAndHideByName) {
    EXPECT_EQ(Run(*m_script, "SetWindowPositionShop(hud, 'slot2', 100, 50) x1, y1 = GetWindowPosition(hud, 'slot2') "
                             "SetWindowPosition(hud, 'slot2', 100, 50) x2, y2 = GetWindowPosition(hud, 'slot2') "
                             "SetWindowSize(hud, 'slot2', 10, 5) SetWindowVisible(hud, 'ssrlauncher', true) "
                             "UpdateInterfaceBuffers(hud)"), "");
    EXPECT_EQ(GlobalNumber(*m_script, "x1"), 99.5);
    EXPECT_EQ(GlobalNumber(*m_script, "y1"), 49.5);
    EXPECT_EQ(GlobalNumber(*m_script, "x2"), 100.0);
    CPWindow& slot = *Hud().FindElement("slot2");
    EXPECT_TRUE(slot.HitTest(110.0f, 55.0f));
    EXPECT_FALSE(slot.HitTest(111.0f, 55.0f));
    EXPECT_TRUE(Hud().FindElement("ssrlauncher")->IsVisible());
}

TEST_F(InterfaceFunctionsTest, HandlesThatAreNoLiveScreenDoNothing) {
    const void* stale = nullptr;
    {
        TPtr<CPInterface> gone(new CPInterface);
        stale = gone.Get();
    }
    CollectGarbage();
    lua_pushlightuserdata(m_script->GetState(), const_cast<void*>(stale));
    lua_setglobal(m_script->GetState(), "stale");
    TPtr<CPGameObject> object(new CPGameObject("plain"));
    lua_pushlightuserdata(m_script->GetState(), object.Get());
    lua_setglobal(m_script->GetState(), "plain");
    for (const char* handle : {"nil", "stale", "plain", "StringToPointer('4096')"}) {
        const std::string h = handle;
        EXPECT_EQ(Run(*m_script, "SetWindowPosition(" + h + ", 'slot2', 1, 1) ActivateInterface(" + h + ") "
                                 "UpdateInterface(" + h + ") UpdateInterfaceBuffers(" + h + ") "
                                 "SetText(" + h + ", 'life', '1') SetCursor(" + h + ", 'x') "
                                 "UpdateGameInterface(" + h + ") EngineState(" + h + ", true) "
                                 "x, y = GetWindowPosition(" + h + ", 'slot2') c = GetCursor(" + h + ")"),
                  "")
            << handle;
        EXPECT_EQ(GlobalNumber(*m_script, "x"), 0.0) << handle;
        EXPECT_EQ(GlobalText(*m_script, "c"), "") << handle;
    }
    EXPECT_FLOAT_EQ(Hud().FindElement("slot2")->x, 300.0f);
}

TEST_F(InterfaceFunctionsTest, FilesAreLookedForInsideTheGameFolderOnly) {
    WriteText("data/present.txt", "x");
    WriteText(m_folder / "outside.txt", "x");
    WriteText("data/picture.tga", SmallTga());
    struct Case {
        const char* path;
        bool exists;
    };
    const Case cases[] = {
        {"Data\\PRESENT.txt", true},      {"data/missing.txt", false},     {"..\\outside.txt", false},
        {"/etc/hostname", false},         {"data", false},                 {"Data\\picture.tga", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(*m_script, std::string("e = IsFileExists([[") + c.path + "]])"), "") << c.path;
        EXPECT_EQ(GlobalText(*m_script, "e"), c.exists ? "true" : "false") << c.path;
    }
    EXPECT_NE(Run(*m_script, "IsFileExists(nil)"), "");

    EXPECT_EQ(Run(*m_script, "w, h = GetTextureSize('Data\\\\picture.tga') w2, h2 = GetTextureSize('data/present.txt') "
                             "w3 = GetTextureSize('/nothing.tga')"), "");
    EXPECT_EQ(GlobalNumber(*m_script, "w"), 3.0);
    EXPECT_EQ(GlobalNumber(*m_script, "h"), 2.0);
    EXPECT_EQ(GlobalNumber(*m_script, "w2"), 0.0);
    EXPECT_EQ(GlobalNumber(*m_script, "w3"), 0.0);
}

TEST_F(InterfaceFunctionsTest, GoURLHandsOnlyAShortcutsWebAddressToTheOpener) {
    const fs::path record = m_folder / "opened.txt";
    const fs::path opener = m_folder / "opener.sh";
    WriteText(opener, "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" + record.string() + "'\n");
    fs::permissions(opener, fs::perms::owner_all);
    setenv("VX_WEB_OPENER", opener.c_str(), 1);
    WriteText("links/site.url", "[InternetShortcut]\r\nURL=https://example.org/page\r\n");
    WriteText("links/local.url", "[InternetShortcut]\r\nURL=file:///etc/passwd\r\n");
    WriteText(m_folder / "outside.url", "URL=https://example.org/outside\n");
    for (const char* path : {"links\\local.url", "..\\outside.url", "/bin/sh", "links\\missing.url", "links\\site.url"}) {
        EXPECT_EQ(Run(*m_script, std::string("GoURL([[") + path + "]])"), "") << path;
    }
    EXPECT_NE(Run(*m_script, "GoURL(nil)"), "");
    std::string opened;
    for (int wait = 0; wait < 100 && opened.empty(); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::ifstream(record) >> opened;
    }
    unsetenv("VX_WEB_OPENER");
    std::string all;
    std::getline(std::ifstream(record), all, '\0');
    EXPECT_EQ(all, "https://example.org/page\n");
}

TEST(HudArrowsTest, ArrowsSitOnTheBorderTwentyPixelsInside) {
    float x = 0.0f, y = 0.0f, angle = 0.0f;
    ASSERT_TRUE(BorderPoint(2048.0f, 300.0f, 800, 600, x, y));
    EXPECT_FLOAT_EQ(x, 780.0f);
    EXPECT_FLOAT_EQ(y, 300.0f);
    ASSERT_TRUE(BorderPoint(400.0f, -5000.0f, 800, 600, x, y));
    EXPECT_FLOAT_EQ(x, 400.0f);
    EXPECT_FLOAT_EQ(y, 20.0f);
    EXPECT_FALSE(BorderPoint(400.0f, 300.0f, 800, 600, x, y)) << "the centre points nowhere";
    EXPECT_FALSE(ArrowToward({5.0f, 5.0f, 0.0f}, {5.0f, 5.0f, 3.0f}, 800, 600, x, y, angle))
        << "a target where the car stands";
    ASSERT_TRUE(ArrowToward({0.0f, 100.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, 800, 600, x, y, angle));
    EXPECT_TRUE(std::isfinite(angle));
}

class HudTest : public InterfaceFunctionsTest {
protected:
    void SetUp() override {
        InterfaceFunctionsTest::SetUp();
        m_level = std::make_unique<CPLevel>();
        m_car = new CPPlayerCar;
        m_level->playerCar = m_car;
    }
    void TearDown() override {
        m_level.reset();
        m_car = nullptr;
        InterfaceFunctionsTest::TearDown();
    }
    void Update() { ASSERT_EQ(Run(*m_script, "UpdateGameInterface(hud)"), ""); }
    bool Shown(const char* name) { return Hud().FindElement(name)->IsVisible(); }

    CPGameData m_data;
    std::unique_ptr<CPLevel> m_level;
    TPtr<CPPlayerCar> m_car;
};

TEST_F(HudTest, LifeWeaponAndCounters) {
    m_car->health = 37.5f;
    m_car->maxHealth = 50.0f;
    m_car->currentWeapon = 1;
    m_data.committedSetup.weapons = {"hmgun", "ssrlauncher3", ""};
    m_data.committedSetup.weaponLevels = {4, 2, 0};
    m_data.committedSetup.superWeaponCount = 7;
    Update();
    EXPECT_EQ(Digits("life"), "075");
    EXPECT_EQ(Digits("bombs"), "07");
    EXPECT_EQ(Digits("mines"), "00") << "no mine layer";
    ASSERT_TRUE(Shown("ssrlauncher"));
    EXPECT_FLOAT_EQ(Hud().FindElement("ssrlauncher")->x, 300.0f) << "in the slot";
    EXPECT_TRUE(Shown("point1") && Shown("point2"));
    EXPECT_FALSE(Shown("point3") || Shown("point4"));
    EXPECT_FALSE(Shown("slot2"));

    for (const float maxHealth : {0.0f, -5.0f}) {
        m_car->maxHealth = maxHealth;
        Update();
        EXPECT_EQ(Digits("life"), "000") << maxHealth;
    }
}

TEST_F(HudTest, CountersShowTheScoreTheSecondCounterAndTheTimeLeft) {
    const struct {
        float levelTime;
        const char* call;
        const char* text;
        const char* shown;
    } cases[] = {
        {0.0f, "UpdateScore(hud, 123.9)", "score", "000123"},
        {0.0f, "UpdateScore(hud, -5)", "score", "-00005"},
        {0.0f, "UpdateScore(hud, 2^40)", "score", "2147483647"},
        {0.0f, "UpdateScore2(hud, 7)", "score2", "007"},
        {0.0f, "UpdateScore2(hud, 0/0)", "score2", "000"},
        {125.5f, "UpdateTime(hud)", "time", "02:05"},
        {59.99f, "UpdateTime(hud)", "time", "00:59"},
        {-1.0f, "UpdateTime(hud)", "time", "00:-1"},
        {1e30f, "UpdateTime(hud)", "time", "2147483647:2147483647"},
        {-INFINITY, "UpdateTime(hud)", "time", "-2147483648:-2147483648"},
        {NAN, "UpdateTime(hud)", "time", "00:00"},
    };
    for (const auto& c : cases) {
        m_level->levelTime = c.levelTime;
        ASSERT_EQ(Run(*m_script, c.call), "") << c.call;
        EXPECT_EQ(Digits(c.text), c.shown) << c.call << " at " << c.levelTime;
    }

    // Without a screen, or for the time without a level, nothing is written.
    ASSERT_EQ(Run(*m_script, "UpdateScore(nil, 1) UpdateScore2('hud', 1) UpdateTime(nil)"), "");
    m_level.reset();
    ASSERT_EQ(Run(*m_script, "UpdateTime(hud)"), "");
    EXPECT_EQ(Digits("score"), "2147483647");
    EXPECT_EQ(Digits("score2"), "000");
    EXPECT_EQ(Digits("time"), "00:00");
}

TEST_F(HudTest, ArrowsPointToTargetsOfTheListsThatExist) {
    m_data.mission = 1;
    TPtr<CPGameObject> target(new CPGameObject("target"));
    target->SetPosition({0.0f, 50.0f, 0.0f});
    m_level->stageTargetObjects[0].push_back(target);
    m_level->stageTargetObjects[0].push_back(target);
    m_level->stageIndex = 0;
    g_frameDelta = 0.3f;
    Update();
    Update();  // the blink turns the arrows on after half a second
    EXPECT_TRUE(Shown("arrow1"));
    EXPECT_TRUE(Shown("arrow2"));
    EXPECT_NE(Hud().FindElement("arrow1")->x, 0.5f);

    TPtr<CPGameObject> atTheCar(new CPGameObject("here"));
    m_level->stageTargetObjects[0] = {atTheCar};
    Update();
    EXPECT_FALSE(Shown("arrow1")) << "no arrow for a target at the car";

    for (const int index : {-1, 1000}) {
        m_level->stageIndex = index;
        m_level->checkPointIndex = index;
        Update();
        EXPECT_FALSE(Shown("arrow1")) << index;
    }
    g_frameDelta = 0.0f;
}

}  // namespace
