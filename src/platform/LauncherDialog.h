#pragma once
#include <string>

namespace platform {

// The launcher's four buttons.
enum class LauncherButton { StartFullScreen, StartWindowed, Options, Exit };

// What the launcher's buttons do.
class LauncherHandler {
public:
    virtual ~LauncherHandler() = default;
    // A button was clicked; true ends the launcher.
    virtual bool OnButton(LauncherButton button) = 0;
    // Why the button that ended the launcher could not do its work (empty when it could): the
    // launcher shows it in a message dialog before it closes.
    virtual std::string Failure() const { return {}; }
};

// Starts GTK on the display, keeping the numeric locale "C". The launcher does this before it
// probes the device, so the display keeps a client while the probe's connection comes and goes
// (an X server without clients resets and refuses new ones for a moment). False, with the
// reason in error, when no display can be opened.
bool StartDialogs(std::string& error);

// The launcher dialog (GTK; StartDialogs first): the page at pageAddress in a web view filling
// the frame above four buttons, "Start in fullscreen mode", "Start in windowed mode", "Options"
// and "Exit", in a captionless window titled "Vexmoor" in the middle of the screen. The page is
// asked for once; an empty address, or no network, leaves the frame empty. Runs until the
// handler ends it, and returns the button that did; closing the window counts as Exit. A
// failure the handler reports is shown first (ShowStartFailure). The window is gone, and the
// numeric locale "C" again, when it returns.
LauncherButton RunLauncherDialog(const std::string& pageAddress, LauncherHandler& handler);

// Shows why the game cannot start in a message dialog titled "Vexmoor" with an OK button (over
// the launcher while it is open) and waits until the user closes it. Needs StartDialogs.
void ShowStartFailure(const std::string& text);

}  // namespace platform
