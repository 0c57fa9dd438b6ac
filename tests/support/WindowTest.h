#pragma once
#include "platform/Window.h"

#include <gtest/gtest.h>

#include <memory>

namespace testsupport {

// A test with a small window and a current OpenGL 3.3 context, opened for each test (under
// xvfb-run or SDL's offscreen driver). Read what was drawn with platform::ReadPixels.
// The test fails when no window can be opened.
class WindowTest : public ::testing::Test {
protected:
    static constexpr int32_t kWidth = 64;
    static constexpr int32_t kHeight = 48;

    void SetUp() override;
    void TearDown() override;

    platform::Window& GetWindow() { return *window_; }

private:
    std::unique_ptr<platform::Window> window_;
};

}  // namespace testsupport
