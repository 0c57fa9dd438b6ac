// The input tape: a recording keeps each change with the pass it came in, and a replay puts
// the same changes into the input state and the message queue in the same passes, whatever the
// devices do meanwhile.
#include "platform/InputTape.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/InputState.h"
#include "platform/WindowMessage.h"
#include "support/SyntheticEvents.h"

namespace {

using platform::InputEvent;
using platform::InputTape;
using platform::MessageType;
using testsupport::WindowEvent;

// What the game sees after a pass: the keys, the mouse taken and the messages taken.
struct Seen {
    std::array<uint8_t, 256> keys{};
    platform::MouseState mouse;
    std::vector<platform::WindowMessage> messages;

    bool operator==(const Seen& other) const {
        if (keys != other.keys || mouse.dx != other.mouse.dx || mouse.dy != other.mouse.dy ||
            mouse.wheel != other.mouse.wheel || mouse.buttons != other.mouse.buttons ||
            messages.size() != other.messages.size()) {
            return false;
        }
        for (size_t i = 0; i < messages.size(); ++i) {
            if (messages[i].type != other.messages[i].type || messages[i].param != other.messages[i].param) return false;
        }
        return true;
    }
};

Seen TakeWhatTheGameSees() {
    Seen seen;
    seen.keys = platform::GetInputState().TakeKeys();
    seen.mouse = platform::GetInputState().TakeMouse();
    platform::WindowMessage message;
    while (platform::GetMessageQueue().Take(message)) seen.messages.push_back(message);
    return seen;
}

// The devices' input of each of four passes.
void PushPassInput(int pass) {
    switch (pass) {
        case 0:
            testsupport::PushWindowEvent(WindowEvent::FocusGained);
            testsupport::PushKey(0xC8, true);
            testsupport::PushMouseMotion(3, -4);
            testsupport::PushMouseMotion(5, 1);
            break;
        case 1: break;  // nothing happens
        case 2:
            testsupport::PushText("g");
            testsupport::PushMouseButton(0, true);
            testsupport::PushWheel(-1);
            break;
        case 3:
            testsupport::PushKey(0xC8, false);
            testsupport::PushMouseButton(0, false);
            testsupport::PushWindowEvent(WindowEvent::Minimized);
            break;
    }
}

class InputTapeTest : public ::testing::Test {
protected:
    void TearDown() override { platform::GetInputTape().Stop(); }

    // Records the four passes (with a frame each) and returns what the game saw in each.
    std::vector<Seen> RecordFourPasses() { return RecordPasses(4, PushPassInput); }

    // Records that many passes, each with the devices' input push gives it.
    std::vector<Seen> RecordPasses(int passes, void (*push)(int pass)) {
        InputTape& tape = platform::GetInputTape();
        tape.StartRecording(77);
        std::vector<Seen> seen;
        for (int pass = 0; pass < passes; ++pass) {
            push(pass);
            tape.PumpPass();
            EXPECT_EQ(tape.FrameTime(0.01f * (pass + 1)), 0.01f * (pass + 1)) << "a recording keeps what it measures";
            seen.push_back(TakeWhatTheGameSees());
        }
        return seen;
    }

    testsupport::EventScope events;
};

TEST_F(InputTapeTest, ARecordingKeepsEachChangeWithItsPassAndEveryFrameLength) {
    RecordFourPasses();
    const platform::InputRecording& recording = platform::GetInputTape().Recording();
    EXPECT_EQ(recording.seed, 77u);
    EXPECT_EQ(recording.passCount, 4u);
    EXPECT_EQ(recording.frameTimes, (std::vector<float>{0.01f, 0.02f, 0.03f, 0.04f}));
    std::vector<std::pair<uint32_t, InputEvent::Kind>> kept;
    for (const platform::RecordedEvent& event : recording.events) kept.emplace_back(event.pass, event.event.kind);
    using Kind = InputEvent::Kind;
    const std::vector<std::pair<uint32_t, Kind>> expected = {
        {0, Kind::Message}, {0, Kind::Key},    {0, Kind::MouseMotion},  // the two motions as one
        {2, Kind::Message}, {2, Kind::Button}, {2, Kind::Wheel},
        {3, Kind::Key},     {3, Kind::Button}, {3, Kind::Message},
    };
    EXPECT_EQ(kept, expected);
    EXPECT_EQ(recording.events[2].event.dx, 8);
    EXPECT_EQ(recording.events[2].event.dy, -3);
}

TEST_F(InputTapeTest, AReplayShowsTheGameWhatTheRecordingShowedItPassForPassWhateverTheDevicesDo) {
    const std::vector<Seen> recorded = RecordFourPasses();
    platform::InputRecording recording = platform::GetInputTape().Recording();
    platform::GetInputState().Clear();

    InputTape& tape = platform::GetInputTape();
    tape.StartReplay(std::move(recording));
    for (int pass = 0; pass < 4; ++pass) {
        testsupport::PushKey(0x39, true);  // the player presses Space and moves the mouse: ignored
        testsupport::PushMouseMotion(100, 100);
        testsupport::PushWindowEvent(WindowEvent::FocusLost);
        tape.PumpPass();
        EXPECT_EQ(tape.FrameTime(0.5f), 0.01f * (pass + 1)) << "the recorded frame, not the measured one";
        EXPECT_TRUE(TakeWhatTheGameSees() == recorded[pass]) << "pass " << pass;
    }
    EXPECT_EQ(tape.GetMode(), InputTape::Mode::Replaying);

    // Past the recording the devices steer again.
    testsupport::PushKey(0x39, false);
    testsupport::PushMouseMotion(2, 2);
    tape.PumpPass();
    EXPECT_EQ(tape.GetMode(), InputTape::Mode::Off);
    EXPECT_EQ(tape.FrameTime(0.5f), 0.5f);
    const Seen after = TakeWhatTheGameSees();
    EXPECT_EQ(after.mouse.dx, 2);
    EXPECT_EQ(after.keys[0x39], 0) << "Space went down during the replay, unseen, and has come up";
}

TEST_F(InputTapeTest, ATapWithinOnePassShowsAsAPressThenAReleaseAndReplaysSo) {
    const std::vector<Seen> recorded = RecordPasses(3, [](int pass) {
        if (pass != 0) return;
        testsupport::PushKey(0x10, true);
        testsupport::PushMouseButton(0, true);
        testsupport::PushKey(0x10, false);
        testsupport::PushMouseButton(0, false);
    });
    for (int pass = 0; pass < 3; ++pass) {
        const uint8_t shown = pass == 0 ? 0x80 : 0;
        EXPECT_EQ(recorded[pass].keys[0x10], shown) << "pass " << pass;
        EXPECT_EQ(recorded[pass].mouse.buttons[0], shown) << "pass " << pass;
    }

    platform::InputRecording recording = platform::GetInputTape().Recording();
    platform::GetInputState().Clear();
    InputTape& tape = platform::GetInputTape();
    tape.StartReplay(std::move(recording));
    for (int pass = 0; pass < 3; ++pass) {
        tape.PumpPass();
        EXPECT_TRUE(TakeWhatTheGameSees() == recorded[pass]) << "pass " << pass;
    }
}

TEST_F(InputTapeTest, TheWindowCanBeClosedDuringAReplay) {
    platform::InputRecording recording;
    recording.passCount = 10;
    platform::GetInputTape().StartReplay(recording);
    testsupport::PushQuit();
    platform::GetInputTape().PumpPass();
    const Seen seen = TakeWhatTheGameSees();
    ASSERT_EQ(seen.messages.size(), 1u);
    EXPECT_EQ(seen.messages[0].type, MessageType::Close);
}

TEST_F(InputTapeTest, AVideoEndsInTheRecordedPassInAReplayWhateverItsStreamSays) {
    InputTape& tape = platform::GetInputTape();
    tape.StartRecording(0);
    const bool streamEnded[] = {false, false, true, false};
    for (const bool ended : streamEnded) {
        tape.PumpPass();
        EXPECT_EQ(tape.VideoEnds(ended), ended) << "a recording passes the stream's end on";
    }
    platform::InputRecording recording = tape.Recording();

    tape.StartReplay(std::move(recording));
    const bool streamNow[] = {true, false, false, true};  // the stream ends earlier this time
    for (int pass = 0; pass < 4; ++pass) {
        tape.PumpPass();
        EXPECT_EQ(tape.VideoEnds(streamNow[pass]), pass == 2) << "pass " << pass;
        EXPECT_FALSE(tape.VideoEnds(true)) << "one end per recorded end";
    }
}

// Keeps every piece of the file the tape hands over.
class PiecesSink : public platform::RecordingSink {
public:
    void Write(const std::vector<uint8_t>& bytes) override { pieces.push_back(bytes); }
    std::vector<std::vector<uint8_t>> pieces;
};

platform::InputRecording Decoded(const std::vector<uint8_t>& bytes) {
    platform::InputRecording recording;
    std::string error;
    EXPECT_TRUE(platform::DecodeInputRecording(bytes.data(), bytes.size(), recording, error)) << error;
    return recording;
}

std::vector<uint8_t> Joined(const std::vector<std::vector<uint8_t>>& pieces) {
    std::vector<uint8_t> file;
    for (const std::vector<uint8_t>& piece : pieces) file.insert(file.end(), piece.begin(), piece.end());
    return file;
}

// The file grows as the run goes: what was recorded a second before a pass is in it when the
// pass begins, and the pieces add up to the whole recording.
TEST_F(InputTapeTest, ARecordingGoesToItsFileAsTheRunGoes) {
    InputTape& tape = platform::GetInputTape();
    PiecesSink sink;
    tape.StartRecording(77, &sink);
    tape.FlushRecording();
    EXPECT_TRUE(sink.pieces.empty()) << "nothing before the first pass";
    for (int pass = 0; pass < 4; ++pass) {
        if (pass == 2) std::this_thread::sleep_for(std::chrono::milliseconds(1100));
        PushPassInput(pass);
        tape.PumpPass();
        tape.FrameTime(0.01f * (pass + 1));
        TakeWhatTheGameSees();
    }
    ASSERT_FALSE(sink.pieces.empty()) << "a second went by before pass 2";
    const platform::InputRecording sofar = Decoded(Joined(sink.pieces));
    EXPECT_EQ(sofar.seed, 77u);
    ASSERT_GE(sofar.passCount, 2u);
    ASSERT_LE(sofar.passCount, 3u);
    EXPECT_EQ(sofar.frameTimes.size(), sofar.passCount);
    EXPECT_EQ(sofar.events.size(), sofar.passCount == 2 ? 3u : 6u);

    tape.FlushRecording();
    const size_t pieces = sink.pieces.size();
    tape.FlushRecording();
    EXPECT_EQ(sink.pieces.size(), pieces) << "nothing new";
    EXPECT_EQ(platform::EncodeInputRecording(Decoded(Joined(sink.pieces))),
              platform::EncodeInputRecording(tape.Recording()));
}

}  // namespace
