// The input recording's file: what is written reads back the same, and a damaged or hostile
// file is refused with a reason instead of being played.
#include "platform/InputRecording.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

using platform::InputEvent;
using platform::MessageType;

platform::InputRecording EveryKindOfEvent() {
    platform::InputRecording recording;
    recording.seed = 0xDEADBEEF;
    recording.passCount = 9;
    recording.frameTimes = {0.05f, 0.0f, 0.016666668f, 3600.0f};
    recording.events = {
        {0, InputEvent::WindowEvent({MessageType::Size, platform::SizeRestored, 640, 480})},
        {0, InputEvent::WindowEvent({MessageType::Activate, platform::ActivateActive})},
        {1, InputEvent::KeyChange(0xC8, true)},
        {1, InputEvent::Motion(-7, std::numeric_limits<int32_t>::max())},
        {3, InputEvent::WheelSteps(-2)},
        {3, InputEvent::MouseButton(2, true)},
        {4, InputEvent::KeyChange(0xC8, false)},
        {4, InputEvent::WindowEvent({MessageType::Char, 0xC6})},
        {5, InputEvent::VideoEnded()},
        {8, InputEvent::WindowEvent({MessageType::Close})},
    };
    return recording;
}

bool SameEvent(const InputEvent& a, const InputEvent& b) {
    return a.kind == b.kind && a.code == b.code && a.down == b.down && a.dx == b.dx && a.dy == b.dy &&
           a.message.type == b.message.type && a.message.param == b.message.param &&
           a.message.width == b.message.width && a.message.height == b.message.height;
}

TEST(InputRecording, EveryKindOfEventReadsBackAsWritten) {
    const platform::InputRecording written = EveryKindOfEvent();
    const std::vector<uint8_t> bytes = platform::EncodeInputRecording(written);
    platform::InputRecording read;
    std::string error;
    ASSERT_TRUE(platform::DecodeInputRecording(bytes.data(), bytes.size(), read, error)) << error;
    EXPECT_EQ(read.seed, written.seed);
    EXPECT_EQ(read.passCount, written.passCount);
    EXPECT_EQ(read.frameTimes, written.frameTimes);
    ASSERT_EQ(read.events.size(), written.events.size());
    for (size_t i = 0; i < read.events.size(); ++i) {
        EXPECT_EQ(read.events[i].pass, written.events[i].pass) << i;
        EXPECT_TRUE(SameEvent(read.events[i].event, written.events[i].event)) << i;
    }
    EXPECT_EQ(platform::EncodeInputRecording(read), bytes);
}

// Offsets in the file of EveryKindOfEvent: the header, the frame times, the events.
constexpr size_t kVersionAt = 4;
constexpr size_t kPassCountAt = 12;
constexpr size_t kFrameCountAt = 16;
constexpr size_t kFirstFrameAt = 20;
constexpr size_t kEventCountAt = kFirstFrameAt + 4 * 4;
constexpr size_t kFirstEventAt = kEventCountAt + 4;   // a size message: pass, kind, type, 3 × i32
constexpr size_t kKeyEventAt = kFirstEventAt + 2 * 18;  // pass 1, kind 0, code, down

void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

struct Damage {
    const char* what;
    std::function<void(std::vector<uint8_t>&)> apply;
    const char* reason;  // a part of the error
};

TEST(InputRecording, ADamagedFileIsRefusedWithItsReason) {
    const std::vector<uint8_t> good = platform::EncodeInputRecording(EveryKindOfEvent());
    const Damage damages[] = {
        {"empty", [](auto& b) { b.clear(); }, "VXIN"},
        {"another signature", [](auto& b) { b[0] = 'X'; }, "VXIN"},
        {"another version", [](auto& b) { Put32(b, kVersionAt, 2); }, "version"},
        {"cut in the header", [](auto& b) { b.resize(kPassCountAt + 2); }, "header"},
        {"more frames than bytes", [](auto& b) { Put32(b, kFrameCountAt, 0xFFFFFFFFu); }, "frame times"},
        {"a frame of NaN seconds",
         [](auto& b) { Put32(b, kFirstFrameAt, std::bit_cast<uint32_t>(std::nanf(""))); }, "frame time"},
        {"a negative frame", [](auto& b) { Put32(b, kFirstFrameAt, std::bit_cast<uint32_t>(-0.5f)); }, "frame time"},
        {"an endless frame",
         [](auto& b) { Put32(b, kFirstFrameAt, std::bit_cast<uint32_t>(std::numeric_limits<float>::infinity())); },
         "frame time"},
        {"more events than bytes", [](auto& b) { Put32(b, kEventCountAt, 0x40000000u); }, "events"},
        {"an event past the last pass", [](auto& b) { Put32(b, kPassCountAt, 8); }, "pass 8"},
        {"events out of pass order", [](auto& b) { Put32(b, kKeyEventAt, 0); Put32(b, kFirstEventAt, 1); }, "order"},
        {"an unknown kind", [](auto& b) { b[kKeyEventAt + 4] = 6; }, "kind 6"},
        {"a key neither down nor up", [](auto& b) { b[kKeyEventAt + 6] = 2; }, "range"},
        {"a message the devices never send", [](auto& b) { b[kFirstEventAt + 5] = 0; }, "range"},
        {"a size of no kind", [](auto& b) { b[kFirstEventAt + 6] = 3; }, "range"},
        {"a negative width", [](auto& b) { Put32(b, kFirstEventAt + 10, 0xFFFFFFFFu); }, "range"},
        {"cut inside an event", [](auto& b) { b.resize(b.size() - 3); }, "range"},
        {"a byte too many", [](auto& b) { b.push_back(0); }, "1 bytes follow"},
    };
    for (const Damage& damage : damages) {
        std::vector<uint8_t> bytes = good;
        damage.apply(bytes);
        platform::InputRecording read;
        std::string error;
        EXPECT_FALSE(platform::DecodeInputRecording(bytes.data(), bytes.size(), read, error)) << damage.what;
        EXPECT_NE(error.find(damage.reason), std::string::npos) << damage.what << ": " << error;
    }
}

TEST(InputRecording, OnlyButtonsZeroToTwoAndCharactersOneTo255AreRead) {
    struct Case {
        InputEvent event;
        bool readable;
    };
    const Case cases[] = {
        {InputEvent::MouseButton(2, false), true},
        {InputEvent::MouseButton(3, false), false},
        {InputEvent::WindowEvent({MessageType::Char, 255}), true},
        {InputEvent::WindowEvent({MessageType::Char, 256}), false},
        {InputEvent::WindowEvent({MessageType::Char, 0}), false},
        {InputEvent::WindowEvent({MessageType::Activate, platform::ActivateClick}), true},
        {InputEvent::WindowEvent({MessageType::Activate, 3}), false},
    };
    for (const Case& c : cases) {
        platform::InputRecording recording;
        recording.passCount = 1;
        recording.events = {{0, c.event}};
        const std::vector<uint8_t> bytes = platform::EncodeInputRecording(recording);
        platform::InputRecording read;
        std::string error;
        EXPECT_EQ(platform::DecodeInputRecording(bytes.data(), bytes.size(), read, error), c.readable)
            << int(c.event.kind) << " " << int(c.event.code) << " " << c.event.message.param;
    }
}

}  // namespace
