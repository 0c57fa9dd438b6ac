#pragma once
#include <gtest/gtest.h>

#include <cstdint>

namespace testsupport {

// Every channel of two colours 0xAARRGGBB differs by at most tolerance.
::testing::AssertionResult ColourNear(uint32_t expected, uint32_t actual, int tolerance);
// The red, green and blue channels differ by at most tolerance; alpha is ignored.
::testing::AssertionResult RgbNear(uint32_t expected, uint32_t actual, int tolerance);

}  // namespace testsupport
