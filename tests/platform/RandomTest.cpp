#include "platform/Random.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

struct SeedCase {
    unsigned int seed;
    std::array<int, 5> first;
};

// The runtime generator's well-known sequences.
const SeedCase kSeeds[] = {
    {1, {41, 18467, 6334, 26500, 19169}},
    {0, {38, 7719, 21238, 2437, 8855}},
    {0xFFFFFFFFu, {35, 29739, 3374, 11141, 31308}},
};

TEST(Random, SeedGivesTheRuntimeSequence) {
    for (const SeedCase& c : kSeeds) {
        platform::Srand(c.seed);
        for (int expected : c.first) EXPECT_EQ(platform::Rand(), expected) << "seed " << c.seed;
    }
}

TEST(Random, ReseedingRepeatsTheSequenceAndStaysInRange) {
    platform::Srand(12345);
    std::vector<int> first;
    for (int i = 0; i < 100000; ++i) {
        const int value = platform::Rand();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, platform::kRandMax);
        if (i < 16) first.push_back(value);
    }
    platform::Srand(12345);
    for (int expected : first) EXPECT_EQ(platform::Rand(), expected);
}

}  // namespace
