#pragma once
#include <gtest/gtest.h>

#include <string>

#include "core/PLog.h"

namespace testsupport {

// What the game's log writes while the action runs; the log is on meanwhile, then as it was.
template <class Action>
std::string LogOf(Action&& action) {
    const bool wasEnabled = GetLog()->IsEnabled();
    GetLog()->SetEnabled(true);
    ::testing::internal::CaptureStderr();
    action();
    const std::string log = ::testing::internal::GetCapturedStderr();
    GetLog()->SetEnabled(wasEnabled);
    return log;
}

}  // namespace testsupport
