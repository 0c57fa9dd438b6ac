// Interface screens under the mouse: hover, clicks and their commands, locked elements.
#include <gtest/gtest.h>

#include <lua.hpp>

#include "interface/InterfaceHooks.h"
#include "interface/PButton.h"
#include "interface/PInterface.h"
#include "screen_fixture.h"

namespace {

using List = std::vector<std::string>;

class ScreenMouseTest : public ScreenTest {
protected:
    static CPButton& Play(CPInterface& screen) { return *static_cast<CPButton*>(screen.FindElement("play")); }
    static void Click(int32_t button, float x, float y) {
        InterfacesButtonDown(button, x, y);
        InterfacesButtonUp(button, x, y);
    }
};

TEST_F(ScreenMouseTest, LeftClickOnAButtonSendsItsNameOnce) {
    CPInterface& screen = Screen(kMenuLayout);
    InterfacesMouseMove(150.0f, 120.0f);
    EXPECT_EQ(Play(screen).GetState(), CPButton::kHover);
    InterfacesButtonDown(0, 150.0f, 120.0f);
    EXPECT_EQ(Play(screen).GetState(), CPButton::kPressed);
    InterfacesButtonUp(0, 150.0f, 120.0f);
    EXPECT_EQ(Play(screen).GetState(), CPButton::kHover);
    EXPECT_EQ(Commands("menu"), List{"button(play)"});

    // Pressed inside, released outside: the normal look and no command.
    InterfacesButtonDown(0, 150.0f, 120.0f);
    InterfacesButtonUp(0, 600.0f, 500.0f);
    EXPECT_EQ(Play(screen).GetState(), CPButton::kNormal);
    EXPECT_TRUE(Commands("menu").empty());

    // The right and middle buttons do nothing to a button.
    InterfacesMouseMove(151.0f, 120.0f);
    Click(1, 151.0f, 120.0f);
    Click(2, 151.0f, 120.0f);
    EXPECT_TRUE(Commands("menu").empty());
}

TEST_F(ScreenMouseTest, WindowsReportTheMouseAndEveryReleasedButton) {
    Screen(kMenuLayout);
    Commands("listener");
    InterfacesMouseMove(400.0f, 300.0f);
    InterfacesMouseMove(401.0f, 300.0f);
    EXPECT_EQ(Commands("listener"),
              (List{"mouse_move(0.500000,0.500000)", "mouse_window_over(back)", "mouse_move(0.501250,0.500000)",
                        "mouse_window_over(back)"}));
    Click(1, 401.0f, 300.0f);
    Click(2, 401.0f, 300.0f);
    EXPECT_EQ(Commands("menu"), (List{"window(back,401.000000,300.000000)", "window(back,401.000000,300.000000)"}));

    // The button lies over the window and comes first in the layout, so it takes the hover.
    InterfacesMouseMove(150.0f, 120.0f);
    EXPECT_EQ(Commands("listener"), (List{"mouse_move(0.187500,0.200000)"}));
    InterfacesMouseMove(900.0f, 700.0f);  // off the window: 1024 × 768 at (0, 0) ends at 1024
    InterfacesMouseMove(1030.0f, 700.0f);
    EXPECT_EQ(Commands("listener"), (List{"mouse_move(1.125000,1.166667)", "mouse_window_over(back)",
                                              "mouse_move(1.287500,1.166667)", "mouse_window_out(back)"}));
}

TEST_F(ScreenMouseTest, InactiveScreensTakeNoClicks) {
    CPInterface& screen = Screen(kMenuLayout);
    InterfacesMouseMove(150.0f, 120.0f);
    screen.Deactivate();
    Commands("menu");
    EXPECT_EQ(screen.GetHovered(), &Play(screen)) << "deactivation keeps the hovered element";
    Click(0, 150.0f, 120.0f);
    EXPECT_TRUE(Commands("menu").empty());

    InterfacesMouseMove(160.0f, 130.0f);
    EXPECT_FLOAT_EQ(screen.GetMouseX(), 160.0f) << "an inactive screen still keeps the mouse position";
    screen.Activate(450);
    Commands("menu");
    InterfacesMouseMove(160.0f, 130.0f);
    Click(0, 160.0f, 130.0f);
    EXPECT_EQ(Commands("menu"), List{"button(play)"});
}

TEST_F(ScreenMouseTest, AScreenWithoutCursorHoversNothing) {
    std::string layout = kMenuLayout;
    layout.erase(layout.find("cursor\n"));
    CPInterface& screen = Screen(layout);
    InterfacesMouseMove(150.0f, 120.0f);
    EXPECT_EQ(screen.GetHovered(), nullptr);
    Click(0, 150.0f, 120.0f);
    EXPECT_TRUE(Commands("menu").empty());
}

TEST_F(ScreenMouseTest, AButtonMovedByScriptIsHitWhereItIsDrawn) {
    CPInterface& screen = Screen(kMenuLayout);
    Play(screen).x = 500.0f;
    Play(screen).y = 400.0f;
    InterfacesMouseMove(150.0f, 120.0f);
    EXPECT_NE(screen.GetHovered(), &Play(screen));
    InterfacesMouseMove(510.0f, 410.0f);
    EXPECT_EQ(screen.GetHovered(), &Play(screen));
    Click(0, 510.0f, 410.0f);
    EXPECT_EQ(Commands("menu"), List{"button(play)"});
}

TEST_F(ScreenMouseTest, AButtonResizedByScriptIsDrawnAndHitAtItsNewSizeInEveryLook) {
    CPInterface& screen = Screen(kMenuLayout);
    CPButton& play = Play(screen);
    play.SetQuadSize(50.0f, 20.0f);  // what SetWindowSize does
    InterfacesMouseMove(160.0f, 115.0f);
    EXPECT_NE(screen.GetHovered(), &play) << "past the new right edge";
    InterfacesMouseMove(140.0f, 115.0f);
    ASSERT_EQ(screen.GetHovered(), &play);
    EXPECT_EQ(play.GetState(), CPButton::kHover);
    EXPECT_FLOAT_EQ(play.GetVertices()[2].position.x, 50.0f);
    EXPECT_FLOAT_EQ(play.GetVertices()[2].position.y, 20.0f);
    InterfacesButtonDown(0, 140.0f, 115.0f);
    EXPECT_EQ(play.GetState(), CPButton::kPressed);
    EXPECT_FLOAT_EQ(play.GetVertices()[2].position.x, 50.0f);
    EXPECT_FLOAT_EQ(play.GetVertices()[2].position.y, 20.0f);
}

TEST_F(ScreenMouseTest, AButtonFiresOnlyForAPressThatBeganOnIt) {
    CPInterface& screen = Screen(kMenuLayout);
    // Pressed on the background, dragged onto the button, released there.
    InterfacesMouseMove(600.0f, 500.0f);
    InterfacesButtonDown(0, 600.0f, 500.0f);
    InterfacesMouseMove(150.0f, 120.0f);
    InterfacesButtonUp(0, 150.0f, 120.0f);
    EXPECT_TRUE(Commands("menu").empty());
    EXPECT_EQ(Play(screen).GetState(), CPButton::kHover);

    // Pressed on the button, dragged off (released elsewhere), then a press elsewhere released on it.
    InterfacesButtonDown(0, 150.0f, 120.0f);
    InterfacesMouseMove(600.0f, 500.0f);
    InterfacesButtonUp(0, 600.0f, 500.0f);
    InterfacesButtonDown(0, 600.0f, 500.0f);
    InterfacesMouseMove(150.0f, 120.0f);
    InterfacesButtonUp(0, 150.0f, 120.0f);
    EXPECT_EQ(Commands("menu"), (List{"window(back,600.000000,500.000000)"}));

    // The same where no element lies beside the button.
    InterfacesButtonDown(0, 150.0f, 120.0f);
    InterfacesMouseMove(1030.0f, 700.0f);
    InterfacesButtonUp(0, 1030.0f, 700.0f);
    InterfacesButtonDown(0, 1030.0f, 700.0f);
    InterfacesMouseMove(150.0f, 120.0f);
    InterfacesButtonUp(0, 150.0f, 120.0f);
    EXPECT_TRUE(Commands("menu").empty());

    // Pressed on the button, dragged off and back on, released: the press began on it.
    InterfacesButtonDown(0, 150.0f, 120.0f);
    InterfacesMouseMove(600.0f, 500.0f);
    InterfacesMouseMove(150.0f, 120.0f);
    InterfacesButtonUp(0, 150.0f, 120.0f);
    EXPECT_EQ(Commands("menu"), List{"button(play)"});
}

TEST_F(ScreenMouseTest, AScreenSwitchedDuringAPressFiresNoButtonAndForgetsThePressedLook) {
    CPInterface& first = Screen(kMenuLayout);
    CPInterface& second = Screen(kMenuLayout, false);
    InterfacesMouseMove(150.0f, 120.0f);
    InterfacesButtonDown(0, 150.0f, 120.0f);
    ASSERT_EQ(Play(first).GetState(), CPButton::kPressed);
    // The script switches screens before the release.
    first.Deactivate();
    second.Activate(450);
    InterfacesMouseMove(150.0f, 120.0f);  // where the input task's cursor is
    Commands("menu");
    EXPECT_EQ(Play(first).GetState(), CPButton::kNormal);
    EXPECT_EQ(second.GetHovered(), &Play(second));
    InterfacesButtonUp(0, 150.0f, 120.0f);
    EXPECT_TRUE(Commands("menu").empty()) << "the second screen's button never saw the press";

    // Back on the first screen, its button needs a fresh press.
    second.Deactivate();
    first.Activate(450);
    InterfacesMouseMove(150.0f, 120.0f);
    Commands("menu");
    InterfacesButtonUp(0, 150.0f, 120.0f);
    EXPECT_TRUE(Commands("menu").empty());
    Click(0, 150.0f, 120.0f);
    EXPECT_EQ(Commands("menu"), List{"button(play)"});
}

TEST_F(ScreenMouseTest, LockingAHoveredWindowSendsNothing) {
    CPInterface& screen = Screen(kMenuLayout);
    InterfacesMouseMove(600.0f, 500.0f);
    Commands("listener");
    screen.SetElementLocked("back", true);
    EXPECT_TRUE(Commands("listener").empty());
    EXPECT_EQ(screen.GetHovered(), nullptr);
}

TEST_F(ScreenMouseTest, AHiddenElementIsNeverHoveredAndTakesNoClick) {
    CPInterface& screen = Screen(kMenuLayout);
    InterfacesMouseMove(150.0f, 120.0f);
    Play(screen).SetVisible(false);  // hidden by a script while under the mouse
    EXPECT_EQ(screen.GetHovered(), nullptr);
    Click(0, 150.0f, 120.0f);
    EXPECT_TRUE(Commands("menu").empty());
    InterfacesMouseMove(151.0f, 120.0f);
    EXPECT_EQ(screen.GetHovered(), screen.FindElement("back")) << "the window beneath takes the hover";
    Click(0, 151.0f, 120.0f);
    EXPECT_EQ(Commands("menu"), List{"window(back,151.000000,120.000000)"});

    // A hidden window under a moving mouse tells the scripts nothing.
    screen.FindElement("back")->SetVisible(false);
    Commands("listener");
    InterfacesMouseMove(600.0f, 500.0f);
    InterfacesMouseMove(601.0f, 500.0f);
    EXPECT_EQ(Commands("listener"), (List{"mouse_move(0.750000,0.833333)", "mouse_move(0.751250,0.833333)"}));
    Click(1, 601.0f, 500.0f);
    EXPECT_TRUE(Commands("menu").empty());

    Play(screen).SetVisible(true);
    InterfacesMouseMove(152.0f, 120.0f);
    Click(0, 152.0f, 120.0f);
    EXPECT_EQ(Commands("menu"), List{"button(play)"});
}

TEST_F(ScreenMouseTest, ALockedButtonKeepsItsHoverLookAndTakesNoClick) {
    CPInterface& screen = Screen(kMenuLayout);
    InterfacesMouseMove(150.0f, 120.0f);
    Click(0, 150.0f, 120.0f);
    Commands("menu");
    screen.SetElementLocked("play", true);
    EXPECT_EQ(screen.GetHovered(), nullptr);
    EXPECT_EQ(Play(screen).GetState(), CPButton::kHover) << "a menu marks its chosen button so";
    InterfacesMouseMove(151.0f, 120.0f);
    Click(0, 151.0f, 120.0f);
    EXPECT_EQ(Commands("menu"), List{"window(back,151.000000,120.000000)"}) << "the window beneath takes the click";
    EXPECT_NE(screen.GetHovered(), &Play(screen));

    screen.SetElementLocked("play", false);
    EXPECT_EQ(Play(screen).GetState(), CPButton::kNormal);
    InterfacesMouseMove(152.0f, 120.0f);
    Click(0, 152.0f, 120.0f);
    EXPECT_EQ(Commands("menu"), List{"button(play)"});
    screen.SetElementLocked("nothing", true);  // an unknown name changes nothing
}

TEST_F(ScreenMouseTest, ScriptsLockAndUnlockElementsOfLiveScreensOnly) {
    CPInterface& screen = Screen(kMenuLayout);
    InstallInterfaceHooks();
    lua_State* state = Script("menu").GetState();
    lua_pushlightuserdata(state, &screen);
    lua_setglobal(state, "screen");
    lua_pushlightuserdata(state, reinterpret_cast<char*>(&screen) + 8);
    lua_setglobal(state, "forged");
    ASSERT_EQ(luaL_dostring(state, "LockButton(screen, 'play') LockButton(forged, 'back') LockButton(nil, 'back')"), 0);
    EXPECT_FALSE(Play(screen).IsEnabled());
    EXPECT_TRUE(screen.FindElement("back")->IsEnabled());
    ASSERT_EQ(luaL_dostring(state, "UnlockButton(screen, 'play')"), 0);
    EXPECT_TRUE(Play(screen).IsEnabled());
    EXPECT_NE(luaL_dostring(state, "LockButton(screen)"), 0) << "the element name is required";
}

TEST_F(ScreenMouseTest, ScreensLeaveTheLiveListWithTheirLastReference) {
    CPInterface* screen = &Screen(kMenuLayout, false);
    EXPECT_EQ(CPInterface::FindLive(screen), screen);
    int stackValue = 0;
    EXPECT_EQ(CPInterface::FindLive(&stackValue), nullptr);
    m_screens.clear();
    CollectGarbage();
    EXPECT_EQ(CPInterface::FindLive(screen), nullptr);
    InterfacesMouseMove(10.0f, 10.0f);  // reaches no freed screen
}

}  // namespace
