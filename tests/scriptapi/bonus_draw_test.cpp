// The check point's bonus draw: the chance, the bands, and the same drops under the same seed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Random.h"
#include "scriptapi/BonusDraw.h"

namespace {

const ChanceBands kBands = {{"time_bonus", 0, 30}, {"laser_u", 30, 80}, {"armor_bonus", 80, 100}};

// The drops of a run of draws under a seed.
std::vector<std::string> Drops(unsigned seed, int32_t percentage, float factor, int count) {
    platform::Srand(seed);
    std::vector<std::string> drops;
    for (int i = 0; i < count; ++i) drops.push_back(DrawBonus(percentage, factor, kBands));
    return drops;
}

TEST(BonusDrawTest, TheSameSeedGivesTheSameDropsAndTheBandsShareThemByTheirWidths) {
    const std::vector<std::string> drops = Drops(42, 100, 1.0f, 3000);
    EXPECT_EQ(Drops(42, 100, 1.0f, 3000), drops);
    int counts[3] = {};
    for (const std::string& drop : drops) {
        for (int band = 0; band < 3; ++band) counts[band] += drop == kBands[band].name;
    }
    EXPECT_EQ(counts[0] + counts[1] + counts[2], 3000) << "a chance of 100 always drops";
    EXPECT_NEAR(counts[0], 900, 120);
    EXPECT_NEAR(counts[1], 1500, 120);
    EXPECT_NEAR(counts[2], 600, 120);
}

TEST(BonusDrawTest, TheChanceIsThePercentageTimesTheFactorAndADrawEqualToItStillDrops) {
    const struct {
        int32_t percentage;
        float factor;
        int fewest;  // drops of 10000
        int most;
    } cases[] = {
        {0, 1.0f, 50, 150},        // only a draw of 0: one in a hundred
        {25, 1.0f, 2400, 2800},    // draws 0 to 25
        {25, 2.0f, 4900, 5300},    // 50
        {25, 0.5f, 1150, 1450},    // 12.5 truncated to 12
        {-1, 1.0f, 0, 0},
        {50, 1e30f, 10000, 10000},  // any factor stays within the draw's reach
        {50, -1e30f, 0, 0},
    };
    for (const auto& c : cases) {
        int dropped = 0;
        for (const std::string& drop : Drops(7, c.percentage, c.factor, 10000)) dropped += !drop.empty();
        EXPECT_GE(dropped, c.fewest) << c.percentage << " × " << c.factor;
        EXPECT_LE(dropped, c.most) << c.percentage << " × " << c.factor;
    }
}

TEST(BonusDrawTest, ADrawOutsideEveryBandDropsNothing) {
    const ChanceBands half = {{"only", 0, 50}};
    platform::Srand(3);
    int dropped = 0;
    for (int i = 0; i < 2000; ++i) dropped += DrawBonus(100, 1.0f, half) == "only";
    EXPECT_NEAR(dropped, 1000, 100);
}

}  // namespace
