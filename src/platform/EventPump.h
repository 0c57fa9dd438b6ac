#pragma once

namespace platform {

struct InputEvent;
using InputEventHandler = void (*)(const InputEvent&);

// Drains SDL's event queue completely; the main loop calls it once per pass.
//
// Window events become messages in GetMessageQueue(), which the kernel takes one per pass:
// - the user closing the window (or SIGINT/SIGTERM) posts Close; the pump never posts Quit
//   itself: the game's window procedure answers Close by posting Quit, as a Win32 window
//   procedure answers WM_CLOSE with PostQuitMessage;
// - shown, restored and resized post Size SizeRestored, maximised SizeMaximized (with the client
//   size), minimised SizeMinimized and hidden SizeHidden (with size 0 x 0);
// - focus gained posts Activate ActivateActive, focus lost Activate ActivateInactive;
// - typed text posts one Char per character, in the game's code page (see CodePage.h);
//   Backspace, Tab, Enter (both) and Escape post Char 8, 9, 13 and 27 on every key-down,
//   auto-repeat included.
//
// Keyboard and mouse go to GetInputState(): keys under their scan codes (ScanCodes.h), relative
// mouse motion, buttons 0 left, 1 right, 2 middle, and wheel steps (positive away from the
// user); a key or button keeps every edge until a take shows it (InputState.h). Regaining focus
// drops the mouse motion gathered while the window was inactive.
void PumpEvents();
// The same, but each change goes to deliver instead, in the order SDL gave them.
void PumpEvents(InputEventHandler deliver);
// Puts one change where PumpEvents puts it: into GetInputState() or GetMessageQueue().
void ApplyInputEvent(const InputEvent& event);

}  // namespace platform
