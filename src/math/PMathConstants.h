#pragma once

// Angles are in radians throughout the math module.
inline constexpr float kPi = 3.14159265f;
inline constexpr float kTwoPi = 6.28318531f;
inline constexpr float kHalfPi = 1.57079633f;
