#include "platform/DeviceProbe.h"

#include <SDL2/SDL.h>
#include <epoxy/gl.h>

#include "platform/Locale.h"
#include "platform/gfx/ContextLimits.h"

namespace platform {
namespace {

constexpr int kGlMajor = 3;
constexpr int kGlMinor = 3;

void ListModes(DeviceProbe& probe) {
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode{};
        if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
        probe.modes.push_back({mode.w, mode.h, static_cast<int32_t>(SDL_BITSPERPIXEL(mode.format)), mode.refresh_rate});
    }
}

void QueryContext(DeviceProbe& probe) {
    const gfx::ContextLimits limits = gfx::QueryContextLimits();
    probe.maxSamples = limits.maxSamples;
    probe.s3tc = limits.s3tc;
    probe.maxAnisotropy = limits.maxAnisotropy;
}

// A hidden window with an OpenGL 3.3 core context, current while it lives.
void ProbeContext(DeviceProbe& probe) {
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, kGlMajor);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, kGlMinor);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_Window* window = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!window) return;
    if (SDL_GLContext context = SDL_GL_CreateContext(window)) {
        probe.contextCreated = epoxy_gl_version() >= kGlMajor * 10 + kGlMinor;
        if (probe.contextCreated) QueryContext(probe);
        SDL_GL_DeleteContext(context);
    }
    SDL_DestroyWindow(window);
}

}  // namespace

bool ProbeDevice(DeviceProbe& probe, std::string& error) {
    probe = DeviceProbe{};
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error = std::string("Cannot start the video system: ") + SDL_GetError();
        return false;
    }
    ListModes(probe);
    ProbeContext(probe);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    KeepNumericLocaleC();
    return true;
}

}  // namespace platform
