#pragma once

#include "platform/OptionsForm.h"

namespace platform {

// What ended the Options dialog.
enum class OptionsResult { Ok = 1, Cancel = 2, Closed = 1002 };

// The Options dialog (GTK), modal over the launcher: "Simple Settings" with the presets
// "Speed", "Balance" and "Quality"; "Advanced Settings" with "Video" ("Screen Resolution",
// "Anisotropic Filtering", "Special Effects" with "Bloom" and "Antialiasing", "Optimization"
// with "Low Resolution Textures" and "Compressed Textures (DXT5)") and "Audio" ("Frequency",
// "Bitrate"); "OK" and "Cancel". It shows the form, passes every choice to it and shows it
// again; OK calls the form's Accept. Needs StartDialogs (LauncherDialog.h).
OptionsResult RunOptionsDialog(OptionsForm& form);

}  // namespace platform
