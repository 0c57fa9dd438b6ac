#include "support/SyntheticEvents.h"

#include "platform/InputState.h"
#include "platform/ScanCodes.h"
#include "platform/WindowMessage.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace testsupport {
namespace {

void Push(SDL_Event& event) {
    event.common.timestamp = SDL_GetTicks();
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

Uint32 CurrentWindowId() {
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    return window ? SDL_GetWindowID(window) : 0;
}

Uint8 SdlWindowEvent(WindowEvent event) {
    switch (event) {
        case WindowEvent::Shown: return SDL_WINDOWEVENT_SHOWN;
        case WindowEvent::Hidden: return SDL_WINDOWEVENT_HIDDEN;
        case WindowEvent::Minimized: return SDL_WINDOWEVENT_MINIMIZED;
        case WindowEvent::Maximized: return SDL_WINDOWEVENT_MAXIMIZED;
        case WindowEvent::Restored: return SDL_WINDOWEVENT_RESTORED;
        case WindowEvent::Resized: return SDL_WINDOWEVENT_SIZE_CHANGED;
        case WindowEvent::FocusGained: return SDL_WINDOWEVENT_FOCUS_GAINED;
        case WindowEvent::FocusLost: return SDL_WINDOWEVENT_FOCUS_LOST;
        case WindowEvent::Close: return SDL_WINDOWEVENT_CLOSE;
    }
    return SDL_WINDOWEVENT_NONE;
}

SDL_Scancode SdlScancode(uint8_t scanCode) {
    for (int sdl = 0; sdl < SDL_NUM_SCANCODES; ++sdl) {
        if (platform::ScanCodeFromSdl(sdl) == scanCode) return SDL_Scancode(sdl);
    }
    return SDL_SCANCODE_UNKNOWN;
}

Uint8 SdlButton(int button) {
    constexpr Uint8 kButtons[] = {SDL_BUTTON_LEFT, SDL_BUTTON_RIGHT, SDL_BUTTON_MIDDLE};
    return button >= 0 && button < 3 ? kButtons[button] : Uint8(SDL_BUTTON_X1);
}

}  // namespace

EventScope::EventScope() {
    EXPECT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError();
    SDL_EventState(SDL_TEXTINPUT, SDL_ENABLE);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    platform::GetMessageQueue().Clear();
    platform::GetInputState().Clear();
}

EventScope::~EventScope() {
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
    platform::GetMessageQueue().Clear();
    platform::GetInputState().Clear();
}

void PushQuit() {
    SDL_Event event{};
    event.type = SDL_QUIT;
    Push(event);
}

void PushWindowEvent(WindowEvent kind, int32_t width, int32_t height) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = CurrentWindowId();
    event.window.event = SdlWindowEvent(kind);
    event.window.data1 = width;
    event.window.data2 = height;
    Push(event);
}

void PushKey(uint8_t scanCode, bool down, bool repeat) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = CurrentWindowId();
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.scancode = SdlScancode(scanCode);
    event.key.keysym.sym = SDL_GetKeyFromScancode(event.key.keysym.scancode);
    Push(event);
}

void PushText(std::string_view utf8) {
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    event.text.windowID = CurrentWindowId();
    ASSERT_LT(utf8.size(), sizeof(event.text.text));
    std::copy(utf8.begin(), utf8.end(), event.text.text);
    Push(event);
}

void PushMouseMotion(int32_t dx, int32_t dy) {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.windowID = CurrentWindowId();
    event.motion.xrel = dx;
    event.motion.yrel = dy;
    Push(event);
}

void PushMouseButton(int button, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.windowID = CurrentWindowId();
    event.button.button = SdlButton(button);
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = 1;
    Push(event);
}

void PushWheel(int32_t steps) {
    SDL_Event event{};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.windowID = CurrentWindowId();
    event.wheel.y = steps;
    event.wheel.preciseY = float(steps);
    event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    Push(event);
}

}  // namespace testsupport
