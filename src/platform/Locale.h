#pragma once

namespace platform {

// Numbers in data files, commands and config are read and written with '.' as the decimal
// separator whatever the user's locale. GTK and GStreamer set the process locale from the
// environment when they start, so every library initialisation is followed by this call
// (the window, audio and media start-ups make it themselves).
void KeepNumericLocaleC();

}  // namespace platform
