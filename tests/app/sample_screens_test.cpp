// The sample game's shop, save and load, and score screens, run in-process by their own scripts
// from the sample data through the real script manager: a click on a button sends its command to
// the screen's script, and the test reads what the game data, the files and the screen's texts show after it,
// and the commands the script sent.
#include <gtest/gtest.h>

#include <lua.hpp>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "InProcessGame.h"
#include "WorkingFolder.h"
#include "app/Application.h"
#include "core/SettingsVariables.h"
#include "core/PKernel.h"
#include "core/PMMObject.h"
#include "game/PGameData.h"
#include "interface/InterfaceHooks.h"
#include "interface/PFontManager.h"
#include "interface/PInterfaceLayout.h"
#include "interface/PWindow.h"
#include "interface/PInterface.h"
#include "platform/PathResolver.h"
#include "platform/WindowMessage.h"
#include "Render/PRender.h"
#include "Render/PRenderObject.h"
#include "Render/PTexture.h"
#include "Render/PTextureCache.h"
#include "script/PLuaScript.h"
#include "script/PScriptManager.h"
#include "support/ReceivedCommands.h"

namespace {

using Commands = std::vector<std::string>;

// The text a screen's text object shows, read back from its glyph quads: each quad's top-left
// texture corner names its character on the font's page.
std::string ShownText(CPInterface& screen, const std::string& name) {
    const SPInterfaceText* text = screen.FindText(name);
    const SPFont* font = text ? GetFontManager()->FindFont(text->font) : nullptr;
    if (!font) return "<no text " + name + ">";
    const auto& vertices = text->object->GetAttachment().Get<CPRenderObject>()->GetVertices();
    std::string shown;
    for (size_t quad = 0; quad + 3 < vertices.size(); quad += 4) {
        const SPGlyphRect* found = nullptr;
        for (int character = ' '; character < 256 && !found; ++character) {
            const SPGlyphRect& rect = font->glyphs.rects[character];
            if (rect.left == vertices[quad].tex0.x && rect.top == vertices[quad].tex0.y && rect.right > rect.left) {
                found = &rect;
                shown += static_cast<char>(character);
            }
        }
        if (!found) shown += '?';
    }
    return shown;
}

// The sample game folder with stand-ins for the scripts the screens talk to: "main" and
// "gamemenu" only keep what they are sent, which the tests read.
class SampleScreensTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::CopyGameFolder(VX_SAMPLE_DATA, m_folder.Path());
        m_folder.Write("data/scripts/main.lua", "while true do Update() end\n");
        m_folder.Write("data/scripts/gamemenu.lua", "while true do Update() end\n");
        const std::string list = testsupport::ReadBytes(m_folder.Path() / "data/scripts/list.dat");
        m_folder.Write("data/scripts/list.dat", list + "\ngamemenu t_interface\n");
        platform::InvalidateListings();
        platform::GetMessageQueue().Clear();
        setenv("SDL_VIDEODRIVER", "offscreen", 1);

        m_application.Init();
        ASSERT_TRUE(GetScriptManager()->LoadList());
        GetGameData()->LoadGameData();
        ASSERT_TRUE(apptest::OpenWindowWithRenderer(m_application, m_render));
        InstallInterfaceHooks();
        m_fonts = std::make_unique<CPFontManager>();
        ASSERT_TRUE(m_fonts->Load());
        for (const char* listener : {"main", "gamemenu"}) ASSERT_TRUE(GetScriptManager()->GetScript(listener)->Start());
        m_caller = GetScriptManager()->GetScript("main");
    }

    void TearDown() override {
        Run("if screen then DeactivateInterface(screen) Release(screen) screen = nil end");
        m_caller = nullptr;
        GetKernel()->KillAllTasks();
        m_fonts.reset();
        m_render = nullptr;
        CollectGarbage();
        unsetenv("SDL_VIDEODRIVER");
        platform::GetMessageQueue().Clear();
    }

    // Runs Lua in the stand-in "main", as a game script would.
    void Run(const std::string& code) {
        lua_State* state = m_caller->GetState();
        ASSERT_EQ(luaL_dostring(state, code.c_str()), 0) << lua_tostring(state, -1);
    }

    // Creates and opens the screen of that name, as a game script does, and lets its script
    // take the screen.
    CPInterface& Open(const std::string& name) {
        m_name = name;
        Run("screen = CreateInterface('" + name + "', 0) ActivateInterface(screen)");
        Step();
        m_screen = CPInterface::GetLiveList().back();
        return *m_screen;
    }

    // Clicks the middle of a button of the open screen with the mouse: the button sends its
    // script its name, unless something above it in the layout takes the click.
    void Press(const std::string& button) {
        const CPWindow* element = m_screen->FindElement(button);
        ASSERT_NE(element, nullptr) << button;
        const float x = element->x + element->w / 2.0f;
        const float y = element->y + element->h / 2.0f;
        InterfacesMouseMove(x, y);
        InterfacesButtonDown(0, x, y);
        InterfacesButtonUp(0, x, y);
        Step();
    }

    // Two frames of the open screen's script (a screen without one has nothing to run).
    void Step() {
        const auto script = GetScriptManager()->GetScript(m_name);
        for (int frame = 0; frame < 2 && script; ++frame) script->Update();
    }

    // What the script was sent since the last call, the mouse's moves left out.
    static Commands Received(const char* script) {
        return testsupport::ReceivedCommands(*GetScriptManager()->GetScript(script), "mouse_move");
    }

    apptest::WorkingFolder m_folder;
    CPApplication m_application;
    TPtr<CPRender> m_render;
    std::unique_ptr<CPFontManager> m_fonts;
    TPtr<CPLuaScript> m_caller;
    std::string m_name;
    CPInterface* m_screen = nullptr;
};

TEST_F(SampleScreensTest, TheFontPagesAreTexturesTheGameFinds) {
    for (const char* font : {"text", "title"}) {
        ASSERT_NE(GetFontManager()->FindFont(font), nullptr) << font;
        const std::string page = std::string(font) + ".tga";
        EXPECT_EQ(GetTextureCache()->GetTexture(page, true)->GetName(), page) << "not the error texture";
    }
}

TEST_F(SampleScreensTest, TheShopSellsAWeaponIntoTheFirstFreeSlotForItsPrice) {
    Run("InitPlayer() CommitCarSettings() SetCurrentMission(1) SetMoney(1000)");
    Received("gamemenu");
    CPGameData& data = *GetGameData();
    CPInterface& shop = Open("shop");
    EXPECT_EQ(ShownText(shop, "money"), "Money: 1000");
    EXPECT_EQ(ShownText(shop, "item"), "Heavy machine gun");
    EXPECT_EQ(ShownText(shop, "price"), "Price: 400");
    EXPECT_EQ(ShownText(shop, "slots"), "Light gun / - / -");

    Press("buy");
    EXPECT_EQ(data.money, 600.0f);
    EXPECT_EQ(data.committedSetup.weapons, (std::array<std::string, 3>{"lgun", "hmgun", ""}));
    EXPECT_EQ(Received("gamemenu"), Commands{"change_money(600.000000)"});
    EXPECT_EQ(ShownText(shop, "status"), "Bought");
    EXPECT_EQ(ShownText(shop, "money"), "Money: 600");
    EXPECT_EQ(ShownText(shop, "slots"), "Light gun / Heavy machine gun / -");
    EXPECT_NE(ShownText(shop, "item"), "Heavy machine gun") << "what the car carries is no more on offer";

    // Refused purchases change nothing: too dear, then no free slot.
    const std::string dear = ShownText(shop, "item");
    Run("SetMoney(10)");
    Press("buy");
    EXPECT_EQ(ShownText(shop, "status"), "Not enough money");
    Run("SetMoney(100000)");
    Press("buy");
    EXPECT_EQ(data.committedSetup.weapons[2], "firethrower") << dear;
    Press("next");
    Press("buy");
    EXPECT_EQ(ShownText(shop, "status"), "No free weapon slot");
    EXPECT_EQ(data.money, 100000.0f - 900.0f);
    EXPECT_EQ(data.committedSetup.weapons, (std::array<std::string, 3>{"lgun", "hmgun", "firethrower"}));

    Received("main");
    Press("done");
    EXPECT_EQ(Received("main"), Commands{"shop_closed()"});
    EXPECT_FALSE(shop.IsActive());
}

TEST_F(SampleScreensTest, TheShopsAutoBuysAReadyMadeSetUpWithTheMoneyAndTheCarsOwnItems) {
    Run("InitPlayer() CommitCarSettings() SetCurrentMission(1) SetMoney(100000)");
    CPGameData& data = *GetGameData();
    const float budget = 100000.0f + data.GetLoadoutValue(data.committedSetup);
    CPInterface& shop = Open("shop");
    Received("gamemenu");
    Press("auto");
    // Mission 1 offers the first three presets; the dearest one within the budget is bought.
    ASSERT_GE(data.shopPresets.size(), 3u);
    const SPCarSetup& bought = data.shopPresets[2];
    EXPECT_EQ(data.committedSetup.weapons, bought.weapons);
    EXPECT_EQ(data.committedSetup.armor, bought.armor);
    EXPECT_EQ(data.money, budget - data.GetLoadoutValue(bought));
    EXPECT_EQ(Received("gamemenu").size(), 1u) << "change_money";
    EXPECT_EQ(ShownText(shop, "status"), "Bought a ready-made set-up");

    Run("SetMoney(0)");
    Press("auto");
    EXPECT_EQ(ShownText(shop, "status"), "Nothing better to buy");
}

TEST_F(SampleScreensTest, SavesAreWrittenIntoTheChosenSlotAndLoadedBack) {
    Run("InitPlayer() CommitCarSettings() SetCurrentMission(2) SetMoney(1234.5) SetKills(77)");
    CPGameData& data = *GetGameData();
    CPInterface& saves = Open("saves");
    EXPECT_EQ(ShownText(saves, "title"), "Saved games") << "a layout text holding a blank";
    EXPECT_EQ(ShownText(saves, "slot1"), "1. (empty)");
    EXPECT_EQ(ShownText(saves, "slot13"), "13. (empty)");

    Press("save");
    EXPECT_EQ(ShownText(saves, "status"), "Saved");
    EXPECT_EQ(ShownText(saves, "slot1").rfind("1. Mission 2: Mars - ", 0), 0u) << ShownText(saves, "slot1");

    Run("SetCurrentMission(5) SetMoney(3) SetKills(0)");
    Press("load");
    EXPECT_EQ(ShownText(saves, "status"), "Loaded");
    EXPECT_EQ(data.mission, 2);
    EXPECT_EQ(data.money, 1234.0f);
    EXPECT_EQ(data.score, 77);
    Received("main");

    // An empty slot loads nothing; the autosave slot takes no save from the player.
    Press("next");
    Press("load");
    EXPECT_EQ(ShownText(saves, "status"), "Nothing saved there");
    EXPECT_EQ(data.mission, 2);
    for (int slot = 2; slot < 13; ++slot) Press("next");
    Press("next");
    Press("save");
    EXPECT_EQ(ShownText(saves, "status"), "The autosave is written by the game");
    EXPECT_EQ(ShownText(saves, "slot13"), "13. (empty)");

    Press("back");
    EXPECT_EQ(Received("main"), Commands{"saves_closed()"});
}

TEST_F(SampleScreensTest, TheScoreTableShowsTheBestDriversAndTakesANewScore) {
    Run("SetKills(750)");
    CPInterface& scores = Open("scores");
    EXPECT_EQ(ShownText(scores, "title"), "Best drivers");
    EXPECT_EQ(ShownText(scores, "line1"), "1. -  0");
    EXPECT_EQ(ShownText(scores, "line12"), "12. -  0");
    EXPECT_EQ(ShownText(scores, "score"), "000750");

    GetScriptManager()->SendCommandByName("scores", "record_score", "");
    Step();
    EXPECT_EQ(ShownText(scores, "line1"), "1. Driver  750");
    EXPECT_EQ(ShownText(scores, "line2"), "2. -  0");
    ASSERT_NE(GetGameData()->GetScoreLine(0), nullptr);
    EXPECT_EQ(GetGameData()->GetScoreLine(0)->name, "Driver");

    // A score that does not beat the last line is not entered.
    Run("SetKills(0)");
    GetScriptManager()->SendCommandByName("scores", "record_score", "");
    Step();
    EXPECT_EQ(ShownText(scores, "line2"), "2. -  0");
    EXPECT_EQ(ShownText(scores, "score"), "000000");

    Received("main");
    Press("back");
    EXPECT_EQ(Received("main"), Commands{"scores_closed()"});
}

// Every screen of the sample at the smallest window, 640 x 480, with what the game writes into
// it (the scripts' texts, the longest end and the whole set-up the shop's Auto buys): each text's
// glyphs and each shown window lie inside the window.
TEST_F(SampleScreensTest, EveryScreenShowsItsTextsAndWindowsInsideTheSmallestWindow) {
    constexpr float kWidth = 640.0f, kHeight = 480.0f;
    const int32_t width = g_screenWidth, height = g_screenHeight;
    g_screenWidth = static_cast<int32_t>(kWidth);
    g_screenHeight = static_cast<int32_t>(kHeight);
    Run("InitPlayer() CommitCarSettings() SetCurrentMission(3) SetMoney(100000) SetKills(2147483647)");
    int screens = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder.Path() / "data/interface")) {
        const std::string file = entry.path().filename().string();
        const size_t suffix = file.rfind("1024.int");
        if (suffix == std::string::npos) continue;
        const std::string name = file.substr(0, suffix);
        const std::string bytes = testsupport::ReadBytes(entry.path());
        const SPInterfaceLayout layout = ParseInterfaceLayout(bytes.data(), static_cast<int32_t>(bytes.size()));
        CPInterface& screen = Open(name);
        if (name == "shop") Press("auto");
        if (name == "gameover") {
            Run("SetTextString(screen, 'title', 'game_won') SetTextString(screen, 'reason', 'car_destroyed') "
                "SetTextString(screen, 'hint', 'press_enter') SetText(screen, 'score', GetString('final_score') .. ': ' .. GetScore())");
        }
        for (const SPLayoutElement& element : layout.elements) {
            if (element.kind == SPLayoutElement::Kind::Text) {
                const SPInterfaceText* text = screen.FindText(element.text.name);
                ASSERT_NE(text, nullptr) << name << ": " << element.text.name;
                for (const SPVertex& vertex : text->object->GetAttachment().Get<CPRenderObject>()->GetVertices()) {
                    EXPECT_TRUE(vertex.position.x >= 0.0f && vertex.position.x <= kWidth && vertex.position.y >= 0.0f &&
                                vertex.position.y <= kHeight)
                        << name << ": the text " << element.text.name << " \"" << ShownText(screen, element.text.name)
                        << "\" reaches " << vertex.position.x << ", " << vertex.position.y;
                }
            } else if (element.kind != SPLayoutElement::Kind::Cursor) {
                const CPWindow* window = screen.FindElement(element.looks.front().name);
                ASSERT_NE(window, nullptr) << name << ": " << element.looks.front().name;
                if (!window->IsVisible()) continue;
                EXPECT_TRUE(window->x >= 0.0f && window->y >= 0.0f && window->x + window->w <= kWidth &&
                            window->y + window->h <= kHeight)
                    << name << ": the window " << element.looks.front().name << " at " << window->x << ", " << window->y
                    << " size " << window->w << " x " << window->h;
            }
        }
        Run("DeactivateInterface(screen) Release(screen) screen = nil");
        ++screens;
    }
    EXPECT_GE(screens, 8) << "menu, keys, shop, saves, scores, end, HUD and title";
    g_screenWidth = width;
    g_screenHeight = height;
}

}  // namespace
