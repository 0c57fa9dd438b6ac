// The input task's keys: actions on their edges, "any_key", the enabled flag, and presses that
// come and go between two frames.
#include <gtest/gtest.h>

#include <functional>

#include "input_task_fixture.h"

namespace {

using inputtest::List;
using KeyboardTest = inputtest::InputTaskTest;

constexpr uint8_t kQ = 0x10;  // "jump"
constexpr uint8_t kW = 0x11;  // "duck"
constexpr uint8_t kE = 0x12;  // bound to nothing

TEST_F(KeyboardTest, KeysReleasedInOneFrameGiveOneAnyKey) {
    Key(kQ, true);
    Key(kW, true);
    Key(kE, true);
    Frame();
    EXPECT_EQ(Commands(), (List{"key_action(jump,1)", "key_action(duck,1)"}));
    EXPECT_TRUE(MainCommands().empty()) << "presses are no any_key";
    Key(kQ, false);
    Key(kW, false);
    Key(kE, false);
    Frame();
    EXPECT_EQ(Commands(), (List{"key_action(jump,0)", "key_action(duck,0)"}));
    EXPECT_EQ(MainCommands(), List{"any_key()"});
    Frame();
    EXPECT_TRUE(MainCommands().empty());
}

TEST_F(KeyboardTest, WithActionsOffKeysAreSilentButAnyKeyAndAssignmentGoOn) {
    m_input->SetEnabled(false);
    Key(kQ, true);
    Frame();
    Key(kQ, false);
    Frame();
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(MainCommands(), List{"any_key()"});

    m_input->SetAssignKey();
    Key(kW, true);
    Frame();
    Key(kW, false);
    Frame();
    EXPECT_EQ(Commands(), List{"key_assign(W)"});
    EXPECT_EQ(MainCommands(), List{"any_key()"});

    Button(0, true);  // the mouse does not hear the flag
    Frame();
    EXPECT_EQ(Commands(), List{"key_action(fire,1)"});
    Button(0, false);
    Frame();
    Commands();

    m_input->SetEnabled(true);
    Key(kQ, true);
    Frame();
    EXPECT_EQ(Commands(), List{"key_action(jump,1)"});
}

// A press and release between two frames (a quick tap, a touchpad click at a low frame rate)
// show as the press in the next frame and the release in the one after.
TEST_F(KeyboardTest, ATapBetweenTwoFramesGivesItsPressThenItsRelease) {
    struct Case {
        const char* label;
        std::function<void(bool)> set;
        List press, release;  // the listener's commands of the two frames
        List heard;           // what the interface heard
    };
    const Case cases[] = {
        {"key Q", [](bool down) { Key(kQ, down); }, {"key_action(jump,1)"}, {"key_action(jump,0)"}, {}},
        {"left button", [](bool down) { Button(0, down); }, {"key_action(fire,1)"}, {"key_action(fire,0)"},
         {"down 0 0,0", "up 0 0,0"}},
        {"right button", [](bool down) { Button(1, down); }, {"key_action(alt,1)"}, {"key_action(alt,0)"},
         {"down 1 0,0", "up 1 0,0"}},
        {"middle button", [](bool down) { Button(2, down); }, {"key_action(mouse2,1)"}, {"key_action(mouse2,0)"},
         {"down 2 0,0", "up 2 0,0"}},
    };
    for (const Case& c : cases) {
        m_listener.calls.clear();
        c.set(true);
        c.set(false);
        Frame();
        EXPECT_EQ(Commands(), c.press) << c.label;
        Frame();
        EXPECT_EQ(Commands(), c.release) << c.label;
        Frame();
        EXPECT_TRUE(Commands().empty()) << c.label;
        EXPECT_EQ(m_listener.calls, c.heard) << c.label;
    }
    EXPECT_EQ(MainCommands(), List{"any_key()"}) << "the key's release";

    // Held, then released and pressed again between two frames: the release, then the press.
    Key(kQ, true);
    Frame();
    Commands();
    Key(kQ, false);
    Key(kQ, true);
    Frame();
    EXPECT_EQ(Commands(), List{"key_action(jump,0)"});
    Frame();
    EXPECT_EQ(Commands(), List{"key_action(jump,1)"});
}

}  // namespace
