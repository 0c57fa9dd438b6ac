#pragma once
#include <cstdint>

#include "platform/InputRecording.h"

// Seeded random play as an input recording: the driving, firing and weapon keys held and let go
// at random (the accelerator more often down than up), other keys now and then, typed letters,
// mouse motion, buttons and wheel notches, and now and then the window losing and regaining focus
// or being minimised and restored. Every frame lasts frameTime seconds. The last pass closes the
// window, so the game ends where the recording ends. Escape is never pressed or typed.
struct SPRandomInputPlan {
    uint32_t seed = 1;      // of the input, and the game seed the recording names
    float seconds = 60.0f;  // of game time
    float frameTime = 0.05f;
};

platform::InputRecording MakeRandomInput(const SPRandomInputPlan& plan);
