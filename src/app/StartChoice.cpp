#include "app/StartChoice.h"

#include <filesystem>
#include <system_error>

#include "core/PFile.h"
#include "core/PSettings.h"
#include "core/Result.h"
#include "script/PScriptManager.h"
#include "core/SettingsVariables.h"

namespace {

std::string WorkingFolder() {
    std::error_code ignored;
    return std::filesystem::current_path(ignored).string();
}

// A folder holds the game when its script list can be read (on disk or from a pack).
bool HoldsGameData() {
    CPFile list(kScriptListPath, false);
    return list.Load() == S_OK;
}

}  // namespace

bool SaveStartChoice(bool fullScreen, std::string& error) {
    if (!HoldsGameData()) {
        error = std::string("cannot load the script list ") + kScriptListPath + ": the working folder " +
                WorkingFolder() + " holds no game data (start the game in its own folder)";
        return false;
    }
    g_fullScreen = fullScreen ? 1 : 0;
    if (GetSettings()->Save("config.cfg")) return true;
    error = "cannot write config.cfg in the working folder " + WorkingFolder() + " (is it writable?)";
    return false;
}

bool ApplyStartChoice(bool fullScreen, std::string& error) {
    GetSettings()->Load("config.cfg");
    return SaveStartChoice(fullScreen, error);
}
