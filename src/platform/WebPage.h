#pragma once
#include <string>

namespace platform {

// True when an address names a web page: "http://" or "https://" (the scheme in any case)
// followed by at least one character, with no blank or control character anywhere.
bool IsWebAddress(const std::string& address);

// Asks the desktop to show a web page, without waiting for it (a child program, ChildProgram.h).
// Only web addresses are passed on, as the opener's one argument; false, and nothing started, for
// anything else (a program, a local file) or when the opener cannot be started. The opener is
// xdg-open, or the program the environment variable VX_WEB_OPENER names.
bool OpenWebPage(const std::string& address);

}  // namespace platform
