#include "platform/EventPump.h"

#include "platform/CodePage.h"
#include "platform/InputState.h"
#include "platform/ScanCodes.h"
#include "platform/WindowMessage.h"

#include <SDL2/SDL.h>

namespace platform {
namespace {

void PostSize(SizeKind kind, Uint32 windowId) {
    WindowMessage message{MessageType::Size, kind};
    SDL_Window* window = SDL_GetWindowFromID(windowId);
    if (window && kind != SizeMinimized && kind != SizeHidden) {
        SDL_GL_GetDrawableSize(window, &message.width, &message.height);
    }
    GetMessageQueue().Post(message);
}

void PostActivate(ActivateKind kind) {
    if (kind == ActivateActive) GetInputState().TakeMouse();
    GetMessageQueue().Post({MessageType::Activate, kind});
}

void OnWindowEvent(const SDL_WindowEvent& event) {
    switch (event.event) {
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
            PostSize(SizeRestored, event.windowID);
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            GetMessageQueue().Post({MessageType::Size, SizeRestored, event.data1, event.data2});
            break;
        case SDL_WINDOWEVENT_MAXIMIZED: PostSize(SizeMaximized, event.windowID); break;
        case SDL_WINDOWEVENT_MINIMIZED: PostSize(SizeMinimized, event.windowID); break;
        case SDL_WINDOWEVENT_HIDDEN: PostSize(SizeHidden, event.windowID); break;
        case SDL_WINDOWEVENT_FOCUS_GAINED: PostActivate(ActivateActive); break;
        case SDL_WINDOWEVENT_FOCUS_LOST: PostActivate(ActivateInactive); break;
        default: break;  // SDL_WINDOWEVENT_CLOSE is followed by SDL_QUIT for the only window
    }
}

// The characters that come from key-downs rather than from text input.
int ControlCharacter(SDL_Scancode scancode) {
    switch (scancode) {
        case SDL_SCANCODE_BACKSPACE: return 8;
        case SDL_SCANCODE_TAB: return 9;
        case SDL_SCANCODE_RETURN:
        case SDL_SCANCODE_KP_ENTER: return 13;
        case SDL_SCANCODE_ESCAPE: return 27;
        default: return 0;
    }
}

void OnKey(const SDL_KeyboardEvent& event) {
    const bool down = event.type == SDL_KEYDOWN;
    if (const uint8_t code = ScanCodeFromSdl(event.keysym.scancode)) GetInputState().SetKey(code, down);
    const int character = down ? ControlCharacter(event.keysym.scancode) : 0;
    if (character) GetMessageQueue().Post({MessageType::Char, character});
}

void OnText(const SDL_TextInputEvent& event) {
    for (const char c : Utf8ToGameCodePage(event.text)) {
        GetMessageQueue().Post({MessageType::Char, static_cast<unsigned char>(c)});
    }
}

int ButtonIndex(Uint8 sdlButton) {
    switch (sdlButton) {
        case SDL_BUTTON_LEFT: return 0;
        case SDL_BUTTON_RIGHT: return 1;
        case SDL_BUTTON_MIDDLE: return 2;
        default: return -1;
    }
}

void OnWheel(const SDL_MouseWheelEvent& event) {
    const int32_t steps = event.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.y : event.y;
    GetInputState().AddWheel(steps);
}

void Dispatch(const SDL_Event& event) {
    InputState& input = GetInputState();
    switch (event.type) {
        case SDL_QUIT: GetMessageQueue().Post({MessageType::Close}); break;
        case SDL_WINDOWEVENT: OnWindowEvent(event.window); break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: OnKey(event.key); break;
        case SDL_TEXTINPUT: OnText(event.text); break;
        case SDL_MOUSEMOTION: input.AddMouseMotion(event.motion.xrel, event.motion.yrel); break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            input.SetButton(ButtonIndex(event.button.button), event.type == SDL_MOUSEBUTTONDOWN);
            break;
        case SDL_MOUSEWHEEL: OnWheel(event.wheel); break;
        default: break;
    }
}

}  // namespace

void PumpEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) Dispatch(event);
}

}  // namespace platform
