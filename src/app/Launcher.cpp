#include "app/Launcher.h"

#include "app/DeviceCaps.h"
#include "app/OptionsModel.h"
#include "app/StartChoice.h"
#include "app/WebAddresses.h"
#include "core/PSettings.h"
#include "platform/OptionsDialog.h"

using platform::LauncherButton;

bool CPLauncherButtons::OnButton(LauncherButton button) {
    switch (button) {
    case LauncherButton::StartFullScreen:
    case LauncherButton::StartWindowed:
        SaveStartChoice(button == LauncherButton::StartFullScreen, m_error);
        return true;
    case LauncherButton::Options: {
        CPOptionsModel options(g_deviceCaps, g_displayModes);
        platform::RunOptionsDialog(options);
        return false;
    }
    case LauncherButton::Exit:
        return true;
    }
    return false;
}

int RunLauncher(std::string& error) {
    GetSettings()->Load("config.cfg");
    if (!platform::StartDialogs(error)) {
        error = "cannot show the launcher: " + error + "; start the game with --windowed or --fullscreen";
        return 0;
    }
    EnumerateDeviceCaps();
    CPLauncherButtons buttons;
    const std::string page = IsWebAddress(g_browserAddress) ? g_browserAddress : "";
    const LauncherButton ended = platform::RunLauncherDialog(page, buttons);
    if (!buttons.Failure().empty()) {
        error = buttons.Failure();
        return 0;
    }
    return ended == LauncherButton::StartFullScreen || ended == LauncherButton::StartWindowed ? 1 : 0;
}
