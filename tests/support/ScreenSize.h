#pragma once
#include <cstdint>

#include "core/SettingsVariables.h"

namespace testsupport {

// The game's screen size while the object lives; the size it found comes back after.
class ScreenSize {
public:
    ScreenSize(int32_t width, int32_t height) : m_width(g_screenWidth), m_height(g_screenHeight) {
        g_screenWidth = width;
        g_screenHeight = height;
    }
    ~ScreenSize() {
        g_screenWidth = m_width;
        g_screenHeight = m_height;
    }
    ScreenSize(const ScreenSize&) = delete;
    ScreenSize& operator=(const ScreenSize&) = delete;

private:
    int32_t m_width;
    int32_t m_height;
};

}  // namespace testsupport
