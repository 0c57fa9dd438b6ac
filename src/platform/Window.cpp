#include "platform/Window.h"

#include "platform/Locale.h"

#include <SDL2/SDL.h>
#include <epoxy/gl.h>

namespace platform {
namespace {

constexpr int kGlMajor = 3;
constexpr int kGlMinor = 3;

void SetContextAttributes(const WindowConfig& config, int samples) {
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, kGlMajor);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, kGlMinor);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, config.depthBits);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, samples > 0 ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, samples > 0 ? samples : 0);
}

}  // namespace

// Owns the video subsystem reference, the SDL window and its GL context.
struct Window::Impl {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    bool fullScreen = false;

    ~Impl() {
        Close();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    // Opens the window and its context with the given sample count; on failure nothing stays open.
    bool Open(const WindowConfig& config, int samples, std::string& error) {
        SetContextAttributes(config, samples);
        Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN;
        if (config.fullScreen) flags |= SDL_WINDOW_FULLSCREEN;
        window = SDL_CreateWindow(config.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                  config.width, config.height, flags);
        if (!window) {
            error = std::string("Cannot create the window: ") + SDL_GetError();
            return false;
        }
        context = SDL_GL_CreateContext(window);
        if (!context) {
            error = std::string("Cannot create an OpenGL 3.3 core context: ") + SDL_GetError();
            Close();
            return false;
        }
        if (epoxy_gl_version() < kGlMajor * 10 + kGlMinor) {
            error = "OpenGL 3.3 is not available, the driver offers " +
                    std::string(reinterpret_cast<const char*>(glGetString(GL_VERSION)));
            Close();
            return false;
        }
        // A driver that cannot change it keeps its own; the game runs either way.
        SDL_GL_SetSwapInterval(config.vsync ? 1 : 0);
        fullScreen = config.fullScreen;
        return true;
    }

    void Close() {
        if (context) SDL_GL_DeleteContext(context);
        if (window) SDL_DestroyWindow(window);
        context = nullptr;
        window = nullptr;
    }
};

std::unique_ptr<Window> Window::Create(const WindowConfig& config, std::string& error) {
    if (config.width <= 0 || config.height <= 0) {
        error = "Invalid window size " + std::to_string(config.width) + "x" + std::to_string(config.height);
        return nullptr;
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error = std::string("Cannot start the video system: ") + SDL_GetError();
        return nullptr;
    }
    auto impl = std::make_unique<Impl>();
    // Multisampling is a wish: without it the game still runs.
    const bool opened = impl->Open(config, config.multisample, error) ||
                        (config.multisample > 0 && impl->Open(config, 0, error));
    if (!opened) return nullptr;
    SDL_StartTextInput();
    KeepNumericLocaleC();
    return std::unique_ptr<Window>(new Window(std::move(impl)));
}

Window::Window(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Window::~Window() = default;

int32_t Window::ClientWidth() const {
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(impl_->window, &width, &height);
    return width;
}

int32_t Window::ClientHeight() const {
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(impl_->window, &width, &height);
    return height;
}

bool Window::IsFullScreen() const { return impl_->fullScreen; }

int32_t Window::SwapInterval() const { return SDL_GL_GetSwapInterval(); }

void Window::SwapBuffers() { SDL_GL_SwapWindow(impl_->window); }

void Window::SetRelativeMouse(bool on) { SDL_SetRelativeMouseMode(on ? SDL_TRUE : SDL_FALSE); }

void* Window::Handle() const { return impl_->window; }

}  // namespace platform
