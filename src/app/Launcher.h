#pragma once
#include <string>

#include "platform/LauncherDialog.h"

// What the launcher's buttons do: the two start buttons set fullScreen, save config.cfg and
// end the launcher; Options shows the Options dialog over the probed capabilities (its result
// does not matter); Exit ends the launcher.
class CPLauncherButtons : public platform::LauncherHandler {
public:
    bool OnButton(platform::LauncherButton button) override;
    // Why a start button could not start (no game data, config.cfg not writable); the launcher
    // then shows it and ends without a start.
    std::string Failure() const override { return m_error; }

private:
    std::string m_error;
};

// Loads config.cfg, probes the device, shows the launcher (with the browser address of
// data\links.txt) and returns 1 when the user chose to start the game, 0 otherwise. A start
// that cannot save config.cfg, or a launcher that cannot be shown (no display), returns 0 with
// the reason in error.
int RunLauncher(std::string& error);
