// The input task's mouse: the cursor, the bound buttons and the wheel, key assignment and
// rebinding.
#include <gtest/gtest.h>

#include "input_task_fixture.h"

namespace {

using inputtest::List;
using MouseTest = inputtest::InputTaskTest;

TEST_F(MouseTest, TheCursorMovesByScaledCountsAndStaysOnTheScreen) {
    struct Step {
        float mouse;
        int32_t dx, dy;
        int32_t x, y;
    };
    const Step steps[] = {
        {0.0f, 10, 5, 10, 5}, {1.5f, 4, 2, 20, 10}, {0.0f, -50, -60, 0, 0}, {0.0f, 5000, 5000, 799, 599},
    };
    int32_t x = -1, y = -1;
    m_input->GetMousePosition(x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    for (const Step& step : steps) {
        g_mouse = step.mouse;
        Frame(step.dx, step.dy);
        m_input->GetMousePosition(x, y);
        EXPECT_EQ(x, step.x) << step.dx;
        EXPECT_EQ(y, step.y) << step.dy;
    }
    Frame(1, 1);  // against the corner: no movement, no report
    EXPECT_EQ(m_listener.calls, (List{"move 10,5", "move 20,10", "move 0,0", "move 799,599"}));
}

TEST_F(MouseTest, ButtonsSendTheirActionsOnTheirEdgesAfterTheInterfaceHearsThem) {
    Frame(30, 40);
    m_listener.calls.clear();
    Button(0, true);
    Frame();
    Frame();  // held: nothing new
    Button(0, false);
    Button(1, true);
    Frame();
    Button(1, false);
    Button(2, true);
    Frame();
    Button(2, false);
    Frame();
    EXPECT_EQ(Commands(), (List{"key_action(fire,1)", "key_action(fire,0)", "key_action(alt,1)", "key_action(alt,0)",
                                "key_action(mouse2,1)", "key_action(mouse2,0)"}));
    EXPECT_EQ(m_listener.calls, (List{"down 0 30,40", "up 0 30,40", "down 1 30,40", "up 1 30,40", "down 2 30,40",
                                      "up 2 30,40"}));
}

TEST_F(MouseTest, TheWheelIsHandledAtMostOnceEveryFifthOfASecond) {
    Frame(0, 0, 1);  // the timer starts at 0: this notch waits
    for (int frame = 0; frame < 8; ++frame) Frame(0, 0, frame < 4 ? 1 : -1);  // 0.05 s a frame
    EXPECT_EQ(Commands(), (List{"key_action(next,0)", "key_action(prev,0)"}));
    for (int frame = 0; frame < 4; ++frame) Frame();
    Frame(0, 0, -3);
    EXPECT_EQ(Commands(), (List{"key_action(prev,0)"})) << "after a pause the first notch goes at once";
}

TEST_F(MouseTest, KeyAssignmentTakesTheNextClickOrNotch) {
    m_input->SetAssignKey();
    Button(0, true);
    Frame();
    EXPECT_EQ(Commands(), (List{"key_assign(mlb)"}));
    EXPECT_TRUE(m_listener.calls.empty());
    Frame();  // still held: now a fresh press
    EXPECT_EQ(Commands(), (List{"key_action(fire,1)"}));
    Button(0, false);
    Frame();
    Commands();

    m_input->SetAssignKey();
    for (int frame = 0; frame < 4; ++frame) Frame();
    Frame(0, 0, -1);
    EXPECT_EQ(Commands(), (List{"key_action(prev,0)", "key_assign(mwheel2)"}));

    m_input->SetAssignKey();
    platform::GetInputState().SetKey(0x10, true);
    Frame();
    platform::GetInputState().SetKey(0x10, false);
    Frame();
    EXPECT_EQ(Commands(), (List{"key_action(jump,1)", "key_assign(Q)", "key_action(jump,0)"}));
}

TEST_F(MouseTest, SetActionDisplacesTheKeysFormerAction) {
    m_input->SetAction("alt", "Q");
    EXPECT_EQ(KeyOf("alt"), "Q");
    EXPECT_EQ(KeyOf("jump"), "undefined");
    EXPECT_EQ(m_input->GetActionMap().at("jump").code, 0);
    EXPECT_EQ(m_input->GetActionMap().at("alt").code, 0x10);

    m_input->SetAction("jump", "mlb");  // the mouse follows at once
    EXPECT_EQ(KeyOf("fire"), "undefined");
    Button(0, true);
    Frame();
    EXPECT_EQ(Commands(), (List{"key_action(jump,1)"}));

    m_input->SetAction("nothing", "mrb");
    EXPECT_EQ(KeyOf("next"), "mwheel1") << "an unknown action displaces nobody";
    EXPECT_EQ(KeyOf("alt"), "Q");
    m_input->SetAction("next", "NoSuchKey");
    EXPECT_EQ(KeyOf("next"), "mwheel1") << "an unknown key leaves the action its key";
}

}  // namespace
