#pragma once
#include <cstdio>
#include <memory>
#include <string>

#include "core/SettingsVariables.h"
#include "platform/Window.h"

// The window a benchmark's renderer draws into, of the given size, which becomes the configured
// screen size; null (and the reason on stderr) when none opens.
inline std::unique_ptr<platform::Window> OpenBenchWindow(const char* title, int32_t width, int32_t height) {
    g_screenWidth = width;
    g_screenHeight = height;
    platform::WindowConfig config;
    config.title = title;
    config.width = width;
    config.height = height;
    std::string error;
    std::unique_ptr<platform::Window> window = platform::Window::Create(config, error);
    if (!window) std::fprintf(stderr, "no window: %s\n", error.c_str());
    return window;
}
