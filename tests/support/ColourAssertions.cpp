#include "support/ColourAssertions.h"

#include <cstdio>
#include <cstdlib>

namespace testsupport {
namespace {

::testing::AssertionResult ChannelsNear(uint32_t expected, uint32_t actual, int tolerance, int channels) {
    for (int shift = 0; shift < channels * 8; shift += 8) {
        const int e = static_cast<int>((expected >> shift) & 0xFFu);
        const int a = static_cast<int>((actual >> shift) & 0xFFu);
        if (std::abs(e - a) > tolerance) {
            char text[64];
            std::snprintf(text, sizeof(text), "expected 0x%08X, got 0x%08X", expected, actual);
            return ::testing::AssertionFailure() << text;
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace

::testing::AssertionResult ColourNear(uint32_t expected, uint32_t actual, int tolerance) {
    return ChannelsNear(expected, actual, tolerance, 4);
}

::testing::AssertionResult RgbNear(uint32_t expected, uint32_t actual, int tolerance) {
    return ChannelsNear(expected, actual, tolerance, 3);
}

}  // namespace testsupport
