#include "platform/EventPump.h"

#include "platform/InputState.h"
#include "platform/WindowMessage.h"
#include "support/SyntheticEvents.h"
#include "support/WindowTest.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

using platform::MessageType;
using platform::WindowMessage;
using testsupport::WindowEvent;

// Takes every queued message, one per take.
std::vector<WindowMessage> TakeAll() {
    std::vector<WindowMessage> taken;
    WindowMessage message;
    while (platform::GetMessageQueue().Take(message)) taken.push_back(message);
    return taken;
}

std::vector<int> TakeChars() {
    std::vector<int> chars;
    for (const WindowMessage& message : TakeAll()) {
        EXPECT_EQ(message.type, MessageType::Char);
        chars.push_back(message.param);
    }
    return chars;
}

class EventPump : public ::testing::Test {
protected:
    testsupport::EventScope events;
};

TEST_F(EventPump, WindowMessagesComeOutInOrderOnePerTake) {
    testsupport::PushQuit();
    testsupport::PushWindowEvent(WindowEvent::Minimized);
    testsupport::PushWindowEvent(WindowEvent::Restored);
    testsupport::PushText("A");
    platform::PumpEvents();

    platform::MessageQueue& queue = platform::GetMessageQueue();
    WindowMessage message;
    ASSERT_TRUE(queue.Take(message));
    EXPECT_EQ(message.type, MessageType::Close);
    ASSERT_TRUE(queue.Take(message));
    EXPECT_EQ(message.type, MessageType::Size);
    EXPECT_EQ(message.param, platform::SizeMinimized);
    ASSERT_TRUE(queue.Take(message));
    EXPECT_EQ(message.type, MessageType::Size);
    EXPECT_EQ(message.param, platform::SizeRestored);
    ASSERT_TRUE(queue.Take(message));
    EXPECT_EQ(message.type, MessageType::Char);
    EXPECT_EQ(message.param, 'A');
    EXPECT_FALSE(queue.Take(message));
}

TEST_F(EventPump, OnePumpDrainsEverythingQueued) {
    for (int i = 0; i < 50; ++i) testsupport::PushText("x");
    platform::PumpEvents();
    EXPECT_EQ(TakeAll().size(), 50u);
    platform::PumpEvents();
    EXPECT_TRUE(platform::GetMessageQueue().Empty());
}

TEST_F(EventPump, WindowEventsMapToSizeAndActivateKinds) {
    struct Case {
        WindowEvent event;
        MessageType type;
        int32_t param;
    };
    const Case cases[] = {
        {WindowEvent::Shown, MessageType::Size, platform::SizeRestored},
        {WindowEvent::Hidden, MessageType::Size, platform::SizeHidden},
        {WindowEvent::Minimized, MessageType::Size, platform::SizeMinimized},
        {WindowEvent::Maximized, MessageType::Size, platform::SizeMaximized},
        {WindowEvent::Restored, MessageType::Size, platform::SizeRestored},
        {WindowEvent::Resized, MessageType::Size, platform::SizeRestored},
        {WindowEvent::FocusGained, MessageType::Activate, platform::ActivateActive},
        {WindowEvent::FocusLost, MessageType::Activate, platform::ActivateInactive},
    };
    for (const Case& c : cases) {
        testsupport::PushWindowEvent(c.event);
        platform::PumpEvents();
        const auto taken = TakeAll();
        ASSERT_EQ(taken.size(), 1u) << int(c.event);
        EXPECT_EQ(taken[0].type, c.type) << int(c.event);
        EXPECT_EQ(taken[0].param, c.param) << int(c.event);
    }
}

TEST_F(EventPump, ClosingTheWindowPostsOneClose) {
    // SDL reports closing the only window as a window event followed by a quit event.
    testsupport::PushWindowEvent(WindowEvent::Close);
    testsupport::PushQuit();
    platform::PumpEvents();
    const auto taken = TakeAll();
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken[0].type, MessageType::Close);
}

TEST_F(EventPump, TextArrivesInTheGameCodePage) {
    testsupport::PushText("\xD0\x96\xD1\x91z");  // Жёz
    testsupport::PushText("\xC3\xA9");            // é has no byte: dropped
    platform::PumpEvents();
    EXPECT_EQ(TakeChars(), (std::vector<int>{0xC6, 0xB8, 'z'}));
}

TEST_F(EventPump, EditingKeysTypeControlCharactersWithRepeat) {
    struct Case {
        uint8_t scanCode;
        int character;
    };
    const Case cases[] = {{0x0E, 8}, {0x0F, 9}, {0x1C, 13}, {0x9C, 13}, {0x01, 27}};
    for (const Case& c : cases) {
        testsupport::PushKey(c.scanCode, true);
        testsupport::PushKey(c.scanCode, true, true);
        testsupport::PushKey(c.scanCode, false);
        platform::PumpEvents();
        EXPECT_EQ(TakeChars(), (std::vector<int>{c.character, c.character})) << int(c.scanCode);
    }
    testsupport::PushKey(0x1E, true);  // A: its character comes from text input only
    platform::PumpEvents();
    EXPECT_TRUE(platform::GetMessageQueue().Empty());
}

TEST_F(EventPump, KeysShowUnderTheirScanCodes) {
    std::array<uint8_t, 256> keys{};
    for (uint8_t code : {uint8_t(0x1E), uint8_t(0xC8), uint8_t(0x9D), uint8_t(0x39)}) {
        testsupport::PushKey(code, true);
        platform::PumpEvents();
        keys = platform::GetInputState().TakeKeys();
        EXPECT_EQ(keys[code], 0x80) << int(code);
    }
    testsupport::PushKey(0xC8, false);
    platform::PumpEvents();
    keys = platform::GetInputState().TakeKeys();
    EXPECT_EQ(keys[0xC8], 0);
    EXPECT_EQ(keys[0x1E], 0x80);
    int held = 0;
    for (uint8_t state : keys) held += state ? 1 : 0;
    EXPECT_EQ(held, 3);
}

TEST_F(EventPump, MouseAccumulatesUntilTaken) {
    testsupport::PushMouseMotion(3, -2);
    testsupport::PushMouseMotion(4, 1);
    testsupport::PushWheel(1);
    testsupport::PushWheel(1);
    testsupport::PushWheel(-1);
    for (int button : {0, 1, 2}) testsupport::PushMouseButton(button, true);
    testsupport::PushMouseButton(1, false);
    platform::PumpEvents();

    platform::MouseState mouse = platform::GetInputState().TakeMouse();
    EXPECT_EQ(mouse.dx, 7);
    EXPECT_EQ(mouse.dy, -1);
    EXPECT_EQ(mouse.wheel, 1);
    EXPECT_EQ(mouse.buttons[0], 0x80);
    EXPECT_EQ(mouse.buttons[1], 0x80) << "pressed and released since the last take: shown held once";
    EXPECT_EQ(mouse.buttons[2], 0x80);

    mouse = platform::GetInputState().TakeMouse();
    EXPECT_EQ(mouse.dx, 0);
    EXPECT_EQ(mouse.wheel, 0);
    EXPECT_EQ(mouse.buttons[0], 0x80);  // buttons stay held
    EXPECT_EQ(mouse.buttons[1], 0);
    EXPECT_TRUE(platform::GetMessageQueue().Empty());
}

TEST_F(EventPump, RegainingFocusDropsMotionFromWhileInactive) {
    testsupport::PushWindowEvent(WindowEvent::FocusLost);
    testsupport::PushMouseMotion(100, 100);
    testsupport::PushWindowEvent(WindowEvent::FocusGained);
    testsupport::PushMouseMotion(2, 3);
    platform::PumpEvents();
    const platform::MouseState mouse = platform::GetInputState().TakeMouse();
    EXPECT_EQ(mouse.dx, 2);
    EXPECT_EQ(mouse.dy, 3);
}

// With a real window the size messages carry the client size.
class EventPumpWithWindow : public testsupport::WindowTest {};

TEST_F(EventPumpWithWindow, SizeMessagesCarryTheClientSize) {
    platform::PumpEvents();  // what the system reported on opening
    platform::GetMessageQueue().Clear();

    testsupport::PushWindowEvent(WindowEvent::Restored);
    testsupport::PushWindowEvent(WindowEvent::Minimized);
    testsupport::PushWindowEvent(WindowEvent::Resized, 320, 200);
    platform::PumpEvents();

    std::vector<WindowMessage> sizes;
    for (const WindowMessage& message : TakeAll()) {
        if (message.type == MessageType::Size) sizes.push_back(message);
    }
    ASSERT_EQ(sizes.size(), 3u);
    EXPECT_EQ(sizes[0].param, platform::SizeRestored);
    EXPECT_EQ(sizes[0].width, kWidth);
    EXPECT_EQ(sizes[0].height, kHeight);
    EXPECT_EQ(sizes[1].param, platform::SizeMinimized);
    EXPECT_EQ(sizes[1].width, 0);
    EXPECT_EQ(sizes[2].width, 320);
    EXPECT_EQ(sizes[2].height, 200);
}

}  // namespace
