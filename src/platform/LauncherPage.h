#pragma once
#include <gtk/gtk.h>

#include <string>

namespace platform {

// The launcher's web page in a sunken frame: a web view that asks for the address once (none
// when it is empty). The view only ever shows http and https pages: it refuses every download,
// every new window and navigation to anything else (a local file, a script address). A page
// that cannot be loaded (no network, nothing listening) leaves the frame empty instead of
// showing an error page.
GtkWidget* MakeLauncherPage(const std::string& address);

}  // namespace platform
