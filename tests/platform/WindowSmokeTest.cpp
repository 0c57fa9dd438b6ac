#include "platform/ReadPixels.h"
#include "platform/Window.h"
#include "support/WindowTest.h"

#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kGreen = 0xFF00FF00;

// Draws one flat-coloured triangle given in clip coordinates, with Direct3D's default culling
// (counter-clockwise faces removed): GL front faces clockwise, back faces culled.
class TriangleDrawer {
public:
    TriangleDrawer() {
        program_ = glCreateProgram();
        Attach(GL_VERTEX_SHADER,
               "#version 330 core\n"
               "layout(location = 0) in vec2 position;\n"
               "void main() { gl_Position = vec4(position, 0.0, 1.0); }\n");
        Attach(GL_FRAGMENT_SHADER,
               "#version 330 core\n"
               "out vec4 colour;\n"
               "void main() { colour = vec4(1.0, 0.0, 0.0, 1.0); }\n");
        glLinkProgram(program_);
        GLint linked = 0;
        glGetProgramiv(program_, GL_LINK_STATUS, &linked);
        EXPECT_TRUE(linked);
        glGenVertexArrays(1, &vertexArray_);
        glGenBuffers(1, &buffer_);
    }
    ~TriangleDrawer() {
        glDeleteBuffers(1, &buffer_);
        glDeleteVertexArrays(1, &vertexArray_);
        glDeleteProgram(program_);
    }

    void Draw(const float (&corners)[6]) {
        glBindVertexArray(vertexArray_);
        glBindBuffer(GL_ARRAY_BUFFER, buffer_);
        glBufferData(GL_ARRAY_BUFFER, sizeof(corners), corners, GL_STREAM_DRAW);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
        glUseProgram(program_);
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CW);
        glCullFace(GL_BACK);
        glDrawArrays(GL_TRIANGLES, 0, 3);
    }

private:
    void Attach(GLenum type, const char* source) {
        const GLuint shader = glCreateShader(type);
        glShaderSource(shader, 1, &source, nullptr);
        glCompileShader(shader);
        GLint compiled = 0;
        glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
        EXPECT_TRUE(compiled);
        glAttachShader(program_, shader);
        glDeleteShader(shader);
    }

    GLuint program_ = 0, vertexArray_ = 0, buffer_ = 0;
};

void ClearTo(float r, float g, float b) {
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

uint32_t PixelAt(int32_t x, int32_t y) { return platform::ReadPixels(x, y, 1, 1)[0]; }

using WindowSmoke = testsupport::WindowTest;

TEST_F(WindowSmoke, ClientAreaHasExactlyTheConfiguredSize) {
    EXPECT_EQ(GetWindow().ClientWidth(), kWidth);
    EXPECT_EQ(GetWindow().ClientHeight(), kHeight);
    EXPECT_FALSE(GetWindow().IsFullScreen());
    EXPECT_NE(GetWindow().Handle(), nullptr);
}

TEST_F(WindowSmoke, ClockwiseTriangleIsDrawnInItsColour) {
    ClearTo(0, 0, 1);
    TriangleDrawer triangle;
    triangle.Draw({0.0f, 0.8f, 0.8f, -0.8f, -0.8f, -0.8f});  // top, bottom right, bottom left
    EXPECT_EQ(PixelAt(kWidth / 2, kHeight / 2), kRed);
    EXPECT_EQ(PixelAt(kWidth / 2, kHeight - 8), kRed);
    EXPECT_EQ(PixelAt(2, 2), kBlue);
    EXPECT_EQ(PixelAt(kWidth - 3, kHeight - 3), kBlue);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    GetWindow().SwapBuffers();
}

TEST_F(WindowSmoke, CounterClockwiseTriangleIsCulled) {
    ClearTo(0, 0, 1);
    TriangleDrawer triangle;
    triangle.Draw({0.0f, 0.8f, -0.8f, -0.8f, 0.8f, -0.8f});  // top, bottom left, bottom right
    EXPECT_EQ(PixelAt(kWidth / 2, kHeight / 2), kBlue);
}

TEST_F(WindowSmoke, ReadPixelsCountsRowsFromTheTop) {
    ClearTo(0, 0, 1);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, kHeight / 2, kWidth, kHeight / 2);  // GL's upper half
    ClearTo(0, 1, 0);
    glDisable(GL_SCISSOR_TEST);

    const auto pixels = platform::ReadPixels(0, 0, kWidth, kHeight);
    ASSERT_EQ(pixels.size(), size_t(kWidth * kHeight));
    EXPECT_EQ(pixels[0], kGreen);
    EXPECT_EQ(pixels[(kHeight / 2 - 1) * kWidth + kWidth - 1], kGreen);
    EXPECT_EQ(pixels[(kHeight / 2) * kWidth], kBlue);
    EXPECT_EQ(pixels.back(), kBlue);
}

TEST_F(WindowSmoke, ReadPixelsOutsideTheWindowGivesZero) {
    ClearTo(0, 1, 0);
    const auto corner = platform::ReadPixels(-2, -2, 4, 4);
    ASSERT_EQ(corner.size(), 16u);
    EXPECT_EQ(corner[0], 0u);             // (-2, -2)
    EXPECT_EQ(corner[2 * 4 + 1], 0u);     // (-1, 0)
    EXPECT_EQ(corner[2 * 4 + 2], kGreen);  // (0, 0)
    EXPECT_EQ(corner[3 * 4 + 3], kGreen);  // (1, 1)
    EXPECT_EQ(platform::ReadPixels(kWidth, 0, 2, 2), std::vector<uint32_t>(4, 0));
    EXPECT_TRUE(platform::ReadPixels(0, 0, 0, 5).empty());
}

// Restores an environment variable when it goes out of scope.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        setenv(name, value, 1);
    }
    ~ScopedEnvironment() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(Window, WithoutAUsableDisplayCreateFailsWithAReason) {
    for (const char* driver : {"dummy", "no-such-driver"}) {
        ScopedEnvironment video("SDL_VIDEODRIVER", driver);
        std::string error;
        EXPECT_EQ(platform::Window::Create({}, error), nullptr) << driver;
        EXPECT_FALSE(error.empty()) << driver;
    }
}

TEST(Window, RejectsAnEmptyClientArea) {
    platform::WindowConfig config;
    config.width = 0;
    std::string error;
    EXPECT_EQ(platform::Window::Create(config, error), nullptr);
    EXPECT_NE(error.find("size"), std::string::npos) << error;
}

TEST(Window, MultisamplingIsUsedWhenAvailableAndDroppedWhenNot) {
    for (int32_t samples : {4, 64}) {
        platform::WindowConfig config;
        config.width = 32;
        config.height = 32;
        config.multisample = samples;
        std::string error;
        auto window = platform::Window::Create(config, error);
        ASSERT_NE(window, nullptr) << samples << ": " << error;
        EXPECT_EQ(window->ClientWidth(), 32);
        ClearTo(1, 0, 0);
        EXPECT_EQ(PixelAt(5, 5), kRed) << samples;
    }
}

TEST(Window, PresentsImmediatelyUnlessVsyncIsAsked) {
    platform::WindowConfig config;
    config.width = 32;
    config.height = 32;
    config.vsync = true;
    std::string error;
    auto window = platform::Window::Create(config, error);
    ASSERT_NE(window, nullptr) << error;
    if (window->SwapInterval() == 0) GTEST_SKIP() << "this display cannot synchronise with its vertical blank";
    window.reset();

    config.vsync = false;
    window = platform::Window::Create(config, error);
    ASSERT_NE(window, nullptr) << error;
    EXPECT_EQ(window->SwapInterval(), 0);
}

TEST(Window, OpensFullScreen) {
    platform::WindowConfig config;
    config.fullScreen = true;
    config.width = 640;
    config.height = 480;
    std::string error;
    auto window = platform::Window::Create(config, error);
    ASSERT_NE(window, nullptr) << error;
    EXPECT_TRUE(window->IsFullScreen());
    // A display that cannot switch to the mode keeps its own size, which the client area reports.
    EXPECT_GE(window->ClientWidth(), 640);
    EXPECT_GE(window->ClientHeight(), 480);
}

}  // namespace
