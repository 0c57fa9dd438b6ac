#include "app/StartChoice.h"

#include <filesystem>
#include <system_error>

#include "core/PSettings.h"
#include "core/SettingsVariables.h"

bool SaveStartChoice(bool fullScreen, std::string& error) {
    g_fullScreen = fullScreen ? 1 : 0;
    if (GetSettings()->Save("config.cfg")) return true;
    std::error_code ignored;
    error = "cannot write config.cfg in the working folder " + std::filesystem::current_path(ignored).string() +
            " (is it writable?)";
    return false;
}

bool ApplyStartChoice(bool fullScreen, std::string& error) {
    GetSettings()->Load("config.cfg");
    return SaveStartChoice(fullScreen, error);
}
