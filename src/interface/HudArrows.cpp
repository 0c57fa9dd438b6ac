#include "interface/HudArrows.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kReach = 2048.0f;
constexpr float kInset = 20.0f;
constexpr float kQuarterTurn = 0.7853982f;  // the screen's axes are turned by π/4 from the world's

struct Point {
    float x, y;
};

// The point where segment a-b crosses segment c-d, both parameters within [0, 1].
bool Cross(Point a, Point b, Point c, Point d, Point& crossing) {
    const float rx = b.x - a.x, ry = b.y - a.y;
    const float sx = d.x - c.x, sy = d.y - c.y;
    const float denominator = rx * sy - ry * sx;
    if (denominator == 0.0f) return false;
    const float t = ((c.x - a.x) * sy - (c.y - a.y) * sx) / denominator;
    const float u = ((c.x - a.x) * ry - (c.y - a.y) * rx) / denominator;
    if (t < 0.0f || t > 1.0f || u < 0.0f || u > 1.0f) return false;
    crossing = {a.x + t * rx, a.y + t * ry};
    return true;
}

}  // namespace

bool BorderPoint(float px, float py, int screenWidth, int screenHeight, float& x, float& y) {
    const float hw = std::floor(static_cast<float>(screenWidth) / 2.0f);
    const float hh = std::floor(static_cast<float>(screenHeight) / 2.0f);
    const float dx = px - hw, dy = py - hh;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (!(length > 0.0f) || !std::isfinite(length)) return false;
    const Point u{dx / length, dy / length};
    const Point corners[4] = {{-hw, -hh}, {hw, -hh}, {hw, hh}, {-hw, hh}};
    for (int edge = 0; edge < 4; ++edge) {
        Point crossing{};
        if (!Cross({0.0f, 0.0f}, {kReach * u.x, kReach * u.y}, corners[edge], corners[(edge + 1) % 4], crossing)) {
            continue;
        }
        x = crossing.x + hw - kInset * u.x;
        y = crossing.y + hh - kInset * u.y;
        return true;
    }
    return false;
}

bool ArrowToward(const PVector3& target, const PVector3& car, int screenWidth, int screenHeight, float& x, float& y,
                 float& angle) {
    const float fx = car.x - target.x, fy = car.y - target.y;
    const float length = std::sqrt(fx * fx + fy * fy);
    if (!(length > 0.0f) || !std::isfinite(length)) return false;
    const float c = std::cos(kQuarterTurn), s = std::sin(kQuarterTurn);
    const float dx = (fx * c - fy * s) / length;
    const float dy = (fx * s + fy * c) / length;
    angle = std::acos(std::clamp(-dy, -1.0f, 1.0f));
    if (-dx > 0.0f) angle = -angle;
    return BorderPoint(kReach * dx, kReach * dy, screenWidth, screenHeight, x, y);
}
