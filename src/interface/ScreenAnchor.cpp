#include "interface/ScreenAnchor.h"

namespace {

constexpr float kDesignWidth = 1024.0f;
constexpr float kDesignHeight = 768.0f;

}  // namespace

void ApplyAnchor(float& x, float& y, const std::string& anchor, int screenWidth, int screenHeight) {
    const auto width = static_cast<float>(screenWidth);
    const auto height = static_cast<float>(screenHeight);
    const float right = width - kDesignWidth;
    const float bottom = height - kDesignHeight;
    const float middle = width / 2.0f - kDesignWidth / 2.0f;
    if (anchor == "ld") {
        y += bottom;
    } else if (anchor == "ru") {
        x += right;
    } else if (anchor == "rd") {
        x += right;
        y += bottom;
    } else if (anchor == "cu") {
        x += middle;
    } else if (anchor == "cd") {
        x += middle;
        y += bottom;
    } else if (anchor == "center") {
        x += middle;
        y += height / 2.0f - kDesignHeight / 2.0f;
    }
}
