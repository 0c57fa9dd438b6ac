#include "support/WindowTest.h"

#include "platform/EventPump.h"
#include "platform/InputState.h"
#include "platform/WindowMessage.h"

namespace testsupport {

void WindowTest::SetUp() {
    platform::WindowConfig config;
    config.title = "test";
    config.width = kWidth;
    config.height = kHeight;
    std::string error;
    window_ = platform::Window::Create(config, error);
    ASSERT_NE(window_, nullptr) << error;
}

void WindowTest::TearDown() {
    window_.reset();
    platform::GetMessageQueue().Clear();
    platform::GetInputState().Clear();
}

}  // namespace testsupport
