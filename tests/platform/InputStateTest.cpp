// The polled keys and buttons: each take shows every edge since the last one at least once.
#include "platform/InputState.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(KeyLatch, EveryEdgeBetweenTwoTakesShowsInATake) {
    // Each step gives the edges before one take ('d' a press, 'u' a release); shown is what the
    // takes show, 1 for held. The key starts released.
    const struct {
        const char* label;
        std::vector<std::string> steps;
        std::string shown;
    } cases[] = {
        {"tap", {"du", "", ""}, "100"},
        {"hold", {"d", "", "u", ""}, "1100"},
        {"auto-repeat while held", {"d", "d", "d", "u"}, "1110"},
        {"released and pressed again", {"d", "ud", "", "u"}, "1010"},
        {"pressed, released, pressed", {"dud", "", "u"}, "110"},
        {"a release while up", {"u", ""}, "00"},
    };
    for (const auto& c : cases) {
        platform::InputState input;
        std::string keys, buttons;
        for (const std::string& step : c.steps) {
            for (const char edge : step) {
                input.SetKey(0x10, edge == 'd');
                input.SetButton(2, edge == 'd');
            }
            keys += input.TakeKeys()[0x10] == 0x80 ? '1' : '0';
            buttons += input.TakeMouse().buttons[2] == 0x80 ? '1' : '0';
        }
        EXPECT_EQ(keys, c.shown) << c.label;
        EXPECT_EQ(buttons, c.shown) << c.label;
    }
}

TEST(KeyLatch, ClearForgetsHeldKeysAndPendingEdges) {
    platform::InputState input;
    input.SetKey(0x1E, true);
    input.SetKey(0x1F, true);
    input.SetKey(0x1F, false);
    input.SetButton(0, true);
    input.AddMouseMotion(3, 4);
    input.Clear();
    EXPECT_EQ(input.TakeKeys(), (std::array<uint8_t, 256>{}));
    const platform::MouseState mouse = input.TakeMouse();
    EXPECT_EQ(mouse.buttons, (std::array<uint8_t, 3>{}));
    EXPECT_EQ(mouse.dx, 0);
}

}  // namespace
