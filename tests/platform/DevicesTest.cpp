#include "platform/AudioDevice.h"
#include "platform/Media.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(AudioDevice, OpensClosesAndOpensAgain) {
    for (int round = 0; round < 2; ++round) {
        std::string error;
        auto device = platform::AudioDevice::Open(0, error);
        ASSERT_NE(device, nullptr) << error;
        EXPECT_GT(device->Frequency(), 0);
    }
}

TEST(AudioDevice, MixesAtTheRequestedRate) {
    for (int32_t frequency : {22050, 44100}) {
        std::string error;
        auto device = platform::AudioDevice::Open(frequency, error);
        ASSERT_NE(device, nullptr) << error;
        EXPECT_EQ(device->Frequency(), frequency);
    }
}

TEST(Media, StartsOnceAndReportsTheSameResultAfterwards) {
    std::string error;
    EXPECT_TRUE(platform::InitMedia(error)) << error;
    EXPECT_TRUE(platform::InitMedia(error)) << error;
    EXPECT_TRUE(error.empty());
}

}  // namespace
