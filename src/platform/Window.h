#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

struct WindowConfig {
    std::string title;
    int32_t width = 800;     // client area, exactly
    int32_t height = 600;
    bool fullScreen = false;
    int32_t multisample = 0; // samples of the default framebuffer, 0 for none
    int32_t depthBits = 24;
    bool vsync = false;      // presentation waits for the vertical blank (else it is immediate)
};

// The game window with its OpenGL 3.3 core context (through libepoxy). Works under Xvfb and
// SDL's offscreen driver. There is one window per process.
class Window {
public:
    // Opens the window; on failure returns null and describes why in error.
    static std::unique_ptr<Window> Create(const WindowConfig& config, std::string& error);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    int32_t ClientWidth() const;
    int32_t ClientHeight() const;
    bool IsFullScreen() const;
    // The swap interval in effect: 0 immediate presentation, 1 synchronised with the display.
    int32_t SwapInterval() const;
    void SwapBuffers();
    // Relative mouse mode is on while the window is active.
    void SetRelativeMouse(bool on);
    // The opaque native handle (the SDL window), what the kernel stores as "the window".
    void* Handle() const;

private:
    struct Impl;
    explicit Window(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
