#pragma once
#include <string>

// Asks the desktop (xdg-open) to show a web page, without waiting for it; the opener is reaped
// when it ends. Only web addresses (IsWebAddress) are passed on; anything else, such as a
// program or a local file, is ignored. The result is ignored too: nothing happens when there is
// no desktop to ask.
void OpenWebPage(const std::string& address);
