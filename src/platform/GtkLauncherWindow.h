#pragma once
#include <gtk/gtk.h>

namespace platform {

// The launcher's window while it is open (the Options dialog's owner), else null.
GtkWindow* LauncherWindow();

}  // namespace platform
