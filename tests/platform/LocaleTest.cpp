#include "platform/AudioDevice.h"
#include "platform/Locale.h"
#include "platform/Media.h"
#include "platform/Window.h"
#include "support/CommaLocale.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

std::string NumericLocale() { return std::setlocale(LC_NUMERIC, nullptr); }

std::string Formatted(double value) {
    char text[32];
    std::snprintf(text, sizeof(text), "%f", value);
    return text;
}

class LocaleGuard : public ::testing::Test {
protected:
    void SetUp() override {
        if (!commaLocale_.Active()) GTEST_SKIP() << "no comma-decimal locale is installed";
        ASSERT_EQ(Formatted(1.5), "1,500000");  // the trap is set
    }

    testsupport::CommaLocale commaLocale_;
};

TEST_F(LocaleGuard, NumbersUseAPointAfterTheGuard) {
    platform::KeepNumericLocaleC();
    EXPECT_EQ(NumericLocale(), "C");
    EXPECT_EQ(Formatted(1.5), "1.500000");
    EXPECT_EQ(std::strtod("2.25", nullptr), 2.25);
    EXPECT_EQ(std::strtof("0.5", nullptr), 0.5f);
}

TEST_F(LocaleGuard, LibraryStartUpsLeaveNumbersAlone) {
    const std::pair<const char*, std::function<void()>> startUps[] = {
        {"media", [] { std::string error; EXPECT_TRUE(platform::InitMedia(error)) << error; }},
        {"audio", [] { std::string error; EXPECT_NE(platform::AudioDevice::Open(0, error), nullptr) << error; }},
        {"window", [] { std::string error; EXPECT_NE(platform::Window::Create({}, error), nullptr) << error; }},
    };
    for (const auto& [name, startUp] : startUps) {
        std::setlocale(LC_ALL, commaLocale_.Name().c_str());
        startUp();
        EXPECT_EQ(NumericLocale(), "C") << name;
        EXPECT_EQ(Formatted(0.25), "0.250000") << name;
    }
}

}  // namespace
