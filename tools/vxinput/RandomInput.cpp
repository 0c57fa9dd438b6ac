#include "RandomInput.h"

#include <array>
#include <cmath>

#include "platform/Random.h"

namespace {

using platform::InputEvent;
using platform::MessageType;

// A key and how long it stays down and up on average, in seconds.
struct RandomKey {
    uint8_t code;
    float meanDown;
    float meanUp;
};

// Up, Down, Left, Right, Space, LCtrl, LShift, then Tab, Enter, A, 1 and F1.
constexpr std::array<RandomKey, 12> kKeys = {{
    {0xC8, 3.0f, 0.7f}, {0xD0, 0.6f, 4.0f}, {0xCB, 0.5f, 1.5f}, {0xCD, 0.5f, 1.5f},
    {0x39, 0.8f, 1.0f}, {0x1D, 0.2f, 4.0f}, {0x2A, 0.2f, 8.0f},
    {0x0F, 0.1f, 20.0f}, {0x1C, 0.1f, 15.0f}, {0x1E, 0.1f, 10.0f}, {0x02, 0.1f, 10.0f}, {0x3B, 0.1f, 30.0f},
}};

// True with the chance that something lasting meanSeconds on average ends within the frame.
bool Happens(float frameTime, float meanSeconds) { return platform::RandUnit() * meanSeconds < frameTime; }

int32_t RandomBetween(int32_t low, int32_t high) { return low + platform::Rand() % (high - low + 1); }

class RandomPlayer {
public:
    RandomPlayer(platform::InputRecording& recording, float frameTime) : recording_(recording), frameTime_(frameTime) {}

    void PlayPass(uint32_t pass) {
        pass_ = pass;
        if (focusLost_) {
            if (Happens(frameTime_, 0.5f)) Regain();
            return;  // an inactive window gets no input
        }
        PressKeys();
        MoveMouse();
        if (Happens(frameTime_, 6.0f)) Type(static_cast<int32_t>('a' + platform::Rand() % 26));
        if (Happens(frameTime_, 25.0f)) Lose(platform::Rand() % 4 == 0);
    }

    // Lets go of everything that is down.
    void ReleaseAll() {
        for (size_t i = 0; i < kKeys.size(); ++i) {
            if (keyDown_[i]) Add(InputEvent::KeyChange(kKeys[i].code, false));
            keyDown_[i] = false;
        }
        for (uint8_t button = 0; button < 3; ++button) {
            if (buttonDown_[button]) Add(InputEvent::MouseButton(button, false));
            buttonDown_[button] = false;
        }
    }

private:
    void Add(const InputEvent& event) { recording_.events.push_back({pass_, event}); }

    void PressKeys() {
        for (size_t i = 0; i < kKeys.size(); ++i) {
            const RandomKey& key = kKeys[i];
            if (!Happens(frameTime_, keyDown_[i] ? key.meanDown : key.meanUp)) continue;
            keyDown_[i] = !keyDown_[i];
            Add(InputEvent::KeyChange(key.code, keyDown_[i]));
            if (keyDown_[i] && (key.code == 0x0F || key.code == 0x1C)) Type(key.code == 0x0F ? 9 : 13);
        }
    }

    void MoveMouse() {
        if (Happens(frameTime_, 0.3f)) Add(InputEvent::Motion(RandomBetween(-40, 40), RandomBetween(-30, 30)));
        if (Happens(frameTime_, 3.0f)) Add(InputEvent::WheelSteps(platform::Rand() % 2 == 0 ? 1 : -1));
        for (uint8_t button = 0; button < 3; ++button) {
            if (!Happens(frameTime_, buttonDown_[button] ? 0.3f : 5.0f)) continue;
            buttonDown_[button] = !buttonDown_[button];
            Add(InputEvent::MouseButton(button, buttonDown_[button]));
        }
    }

    void Type(int32_t character) { Add(InputEvent::WindowEvent({MessageType::Char, character})); }

    // The window loses the focus, or is minimised; what was held is let go first.
    void Lose(bool minimise) {
        ReleaseAll();
        minimised_ = minimise;
        Add(minimise ? InputEvent::WindowEvent({MessageType::Size, platform::SizeMinimized})
                     : InputEvent::WindowEvent({MessageType::Activate, platform::ActivateInactive}));
        focusLost_ = true;
    }

    void Regain() {
        Add(minimised_ ? InputEvent::WindowEvent({MessageType::Size, platform::SizeRestored, 640, 480})
                       : InputEvent::WindowEvent({MessageType::Activate, platform::ActivateActive}));
        focusLost_ = false;
    }

    platform::InputRecording& recording_;
    float frameTime_;
    uint32_t pass_ = 0;
    std::array<bool, kKeys.size()> keyDown_{};
    std::array<bool, 3> buttonDown_{};
    bool focusLost_ = false;
    bool minimised_ = false;
};

}  // namespace

platform::InputRecording MakeRandomInput(const SPRandomInputPlan& plan) {
    platform::Srand(plan.seed);
    platform::InputRecording recording;
    recording.seed = plan.seed;
    const uint32_t frames = static_cast<uint32_t>(std::ceil(plan.seconds / plan.frameTime));
    RandomPlayer player(recording, plan.frameTime);
    for (uint32_t pass = 0; pass < frames; ++pass) player.PlayPass(pass);
    player.ReleaseAll();
    recording.events.push_back({frames, InputEvent::WindowEvent({MessageType::Close})});
    recording.passCount = frames + 1;
    recording.frameTimes.assign(frames + 1, plan.frameTime);
    return recording;
}
