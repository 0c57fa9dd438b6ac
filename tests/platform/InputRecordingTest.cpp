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

// Offsets in the file of EveryKindOfEvent: the start, the block's head, the frame times, the events.
constexpr size_t kVersionAt = 4;
constexpr size_t kSeedAt = 8;
constexpr size_t kBlockLengthAt = 12;
constexpr size_t kPassCountAt = 16;
constexpr size_t kFrameCountAt = 20;
constexpr size_t kFirstFrameAt = 24;
constexpr size_t kEventCountAt = kFirstFrameAt + 4 * 4;
constexpr size_t kFirstEventAt = kEventCountAt + 4;   // a size message: pass, kind, type, 3 × i32
constexpr size_t kKeyEventAt = kFirstEventAt + 2 * 18;  // pass 1, kind 0, code, down

void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t Get32(const std::vector<uint8_t>& bytes, size_t at) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<uint32_t>(bytes[at + i]) << (8 * i);
    return value;
}

struct Damage {
    const char* what;
    std::function<void(std::vector<uint8_t>&)> apply;
    const char* reason;  // a part of the error
};

TEST(InputRecording, ADamagedFileIsRefusedWithItsReason) {
    const std::vector<uint8_t> good = platform::EncodeInputRecording(EveryKindOfEvent());
    ASSERT_EQ(Get32(good, kBlockLengthAt), good.size() - kPassCountAt);
    const Damage damages[] = {
        {"empty", [](auto& b) { b.clear(); }, "VXIN"},
        {"another signature", [](auto& b) { b[0] = 'X'; }, "VXIN"},
        {"another version", [](auto& b) { Put32(b, kVersionAt, 3); }, "version"},
        {"cut in the header", [](auto& b) { b.resize(kSeedAt + 2); }, "header"},
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
        {"a block shorter than its fields",
         [](auto& b) { Put32(b, kBlockLengthAt, Get32(b, kBlockLengthAt) - 3); }, "range"},
        {"a block longer than its fields",
         [](auto& b) {
             Put32(b, kBlockLengthAt, Get32(b, kBlockLengthAt) + 1);
             b.push_back(0);
         },
         "1 bytes follow"},
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

// A run's file is written block by block; one killed while it wrote ends anywhere after the start.
TEST(InputRecording, AFileCutShortReadsUpToItsLastWholeBlock) {
    const platform::InputRecording whole = EveryKindOfEvent();
    // Three blocks: passes 0-2, 3-5 and 6-8, each with the frames and events recorded by then.
    std::vector<uint8_t> bytes = platform::EncodeRecordingStart(whole.seed);
    std::vector<size_t> blockEnds;
    std::vector<uint32_t> blockPasses;
    platform::RecordingMark mark;
    platform::InputRecording sofar;
    sofar.seed = whole.seed;
    for (const uint32_t passes : {3u, 6u, 9u}) {
        sofar.passCount = passes;
        sofar.frameTimes.assign(whole.frameTimes.begin(), whole.frameTimes.begin() + passes / 3 + 1);
        sofar.events.clear();
        for (const platform::RecordedEvent& event : whole.events) {
            if (event.pass < passes) sofar.events.push_back(event);
        }
        platform::AppendRecordingBlock(sofar, mark, bytes);
        blockEnds.push_back(bytes.size());
        blockPasses.push_back(passes);
    }
    EXPECT_EQ(mark.passes, 9u);

    for (size_t size = 12; size <= bytes.size(); ++size) {
        platform::InputRecording read;
        std::string error;
        ASSERT_TRUE(platform::DecodeInputRecording(bytes.data(), size, read, error)) << size << ": " << error;
        uint32_t passes = 0;
        size_t events = 0;
        for (size_t block = 0; block < blockEnds.size() && blockEnds[block] <= size; ++block) passes = blockPasses[block];
        for (const platform::RecordedEvent& event : whole.events) events += event.pass < passes ? 1 : 0;
        EXPECT_EQ(read.seed, whole.seed);
        EXPECT_EQ(read.passCount, passes) << size;
        EXPECT_EQ(read.events.size(), events) << size;
        EXPECT_EQ(read.frameTimes.size(), passes == 0 ? 0 : passes / 3 + 1) << size;
    }
    platform::InputRecording read;
    std::string error;
    ASSERT_TRUE(platform::DecodeInputRecording(bytes.data(), bytes.size(), read, error));
    EXPECT_EQ(platform::EncodeInputRecording(read), platform::EncodeInputRecording(whole)) << "the blocks add up";
}

// The first version's files, made before recordings were written as the run goes, still play.
TEST(InputRecording, AFileOfTheFirstVersionStillReads) {
    const std::vector<uint8_t> first = {
        'V', 'X', 'I', 'N', 1, 0, 0, 0, 7, 0, 0, 0,  // version 1, seed 7
        2, 0, 0, 0,                                  // two passes
        1, 0, 0, 0, 0xCD, 0xCC, 0x4C, 0x3D,          // one frame of 0.05 s
        1, 0, 0, 0, 1, 0, 0, 0, 0, 0x1C, 1,          // one event: pass 1, key 0x1C down
    };
    platform::InputRecording read;
    std::string error;
    ASSERT_TRUE(platform::DecodeInputRecording(first.data(), first.size(), read, error)) << error;
    EXPECT_EQ(read.seed, 7u);
    EXPECT_EQ(read.passCount, 2u);
    EXPECT_EQ(read.frameTimes, std::vector<float>{0.05f});
    ASSERT_EQ(read.events.size(), 1u);
    EXPECT_EQ(read.events[0].pass, 1u);
    EXPECT_TRUE(SameEvent(read.events[0].event, InputEvent::KeyChange(0x1C, true)));

    std::vector<uint8_t> damaged = first;
    damaged.push_back(0);
    EXPECT_FALSE(platform::DecodeInputRecording(damaged.data(), damaged.size(), read, error));
    EXPECT_NE(error.find("1 bytes follow"), std::string::npos) << error;
    damaged.resize(first.size() - 1);
    EXPECT_FALSE(platform::DecodeInputRecording(damaged.data(), damaged.size(), read, error)) << "no blocks to cut";
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
