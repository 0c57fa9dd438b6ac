#pragma once
#include "platform/WindowMessage.h"

// Set once the application object is gone; from then on activation messages change nothing.
extern bool g_shutdown;

// The game window's procedure; the kernel hands it every message it takes.
// - Close: posts Quit, which ends the main loop (the window stays until the program ends).
// - Size, minimised or hidden: suspends the frame timer and makes the window inactive (no task
//   runs, the frame delta stays 0). Any other size: resets the renderer's device, resumes the
//   timer and makes the window active.
// - Activate: gaining the focus, by any means, resumes the timer, resets the renderer's device
//   and makes the window active; losing it suspends the timer and makes the window inactive.
// - Char: sends "key" with the character code to every script of the category "interface".
void WindowProc(const platform::WindowMessage& message);
