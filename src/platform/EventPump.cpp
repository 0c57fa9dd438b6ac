#include "platform/EventPump.h"

#include "platform/CodePage.h"
#include "platform/InputEvent.h"
#include "platform/InputState.h"
#include "platform/ScanCodes.h"
#include "platform/WindowMessage.h"

#include <SDL2/SDL.h>

namespace platform {
namespace {

void PostSize(SizeKind kind, Uint32 windowId, InputEventHandler deliver) {
    WindowMessage message{MessageType::Size, kind};
    SDL_Window* window = SDL_GetWindowFromID(windowId);
    if (window && kind != SizeMinimized && kind != SizeHidden) {
        SDL_GL_GetDrawableSize(window, &message.width, &message.height);
    }
    deliver(InputEvent::WindowEvent(message));
}

void OnWindowEvent(const SDL_WindowEvent& event, InputEventHandler deliver) {
    switch (event.event) {
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
            PostSize(SizeRestored, event.windowID, deliver);
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            deliver(InputEvent::WindowEvent({MessageType::Size, SizeRestored, event.data1, event.data2}));
            break;
        case SDL_WINDOWEVENT_MAXIMIZED: PostSize(SizeMaximized, event.windowID, deliver); break;
        case SDL_WINDOWEVENT_MINIMIZED: PostSize(SizeMinimized, event.windowID, deliver); break;
        case SDL_WINDOWEVENT_HIDDEN: PostSize(SizeHidden, event.windowID, deliver); break;
        case SDL_WINDOWEVENT_FOCUS_GAINED: deliver(InputEvent::WindowEvent({MessageType::Activate, ActivateActive})); break;
        case SDL_WINDOWEVENT_FOCUS_LOST: deliver(InputEvent::WindowEvent({MessageType::Activate, ActivateInactive})); break;
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

void OnKey(const SDL_KeyboardEvent& event, InputEventHandler deliver) {
    const bool down = event.type == SDL_KEYDOWN;
    if (const uint8_t code = ScanCodeFromSdl(event.keysym.scancode)) deliver(InputEvent::KeyChange(code, down));
    const int character = down ? ControlCharacter(event.keysym.scancode) : 0;
    if (character) deliver(InputEvent::WindowEvent({MessageType::Char, character}));
}

void OnText(const SDL_TextInputEvent& event, InputEventHandler deliver) {
    for (const char c : Utf8ToGameCodePage(event.text)) {
        deliver(InputEvent::WindowEvent({MessageType::Char, static_cast<unsigned char>(c)}));
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

void OnButton(const SDL_MouseButtonEvent& event, InputEventHandler deliver) {
    const int button = ButtonIndex(event.button);
    if (button >= 0) deliver(InputEvent::MouseButton(static_cast<uint8_t>(button), event.type == SDL_MOUSEBUTTONDOWN));
}

void OnWheel(const SDL_MouseWheelEvent& event, InputEventHandler deliver) {
    const int32_t steps = event.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.y : event.y;
    deliver(InputEvent::WheelSteps(steps));
}

void Dispatch(const SDL_Event& event, InputEventHandler deliver) {
    switch (event.type) {
        case SDL_QUIT: deliver(InputEvent::WindowEvent({MessageType::Close})); break;
        case SDL_WINDOWEVENT: OnWindowEvent(event.window, deliver); break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: OnKey(event.key, deliver); break;
        case SDL_TEXTINPUT: OnText(event.text, deliver); break;
        case SDL_MOUSEMOTION: deliver(InputEvent::Motion(event.motion.xrel, event.motion.yrel)); break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: OnButton(event.button, deliver); break;
        case SDL_MOUSEWHEEL: OnWheel(event.wheel, deliver); break;
        default: break;
    }
}

}  // namespace

void ApplyInputEvent(const InputEvent& event) {
    InputState& input = GetInputState();
    switch (event.kind) {
        case InputEvent::Kind::Key: input.SetKey(event.code, event.down); break;
        case InputEvent::Kind::MouseMotion: input.AddMouseMotion(event.dx, event.dy); break;
        case InputEvent::Kind::Wheel: input.AddWheel(event.dy); break;
        case InputEvent::Kind::Button: input.SetButton(event.code, event.down); break;
        case InputEvent::Kind::Message:
            if (event.message.type == MessageType::Activate && event.message.param == ActivateActive) input.DropMotion();
            GetMessageQueue().Post(event.message);
            break;
        case InputEvent::Kind::VideoEnd: break;  // the video player asks for it (InputTape.h)
    }
}

void PumpEvents(InputEventHandler deliver) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) Dispatch(event, deliver);
}

void PumpEvents() { PumpEvents(ApplyInputEvent); }

}  // namespace platform
