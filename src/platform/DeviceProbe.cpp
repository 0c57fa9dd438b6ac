#include "platform/DeviceProbe.h"

#include <SDL2/SDL.h>
#include <epoxy/gl.h>

#include <algorithm>

#include "platform/Locale.h"

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
    GLint samples = 0;
    glGetIntegerv(GL_MAX_SAMPLES, &samples);
    probe.maxSamples = samples;
    probe.s3tc = epoxy_has_gl_extension("GL_EXT_texture_compression_s3tc");
    probe.maxAnisotropy = 1;
    if (epoxy_has_gl_extension("GL_EXT_texture_filter_anisotropic") ||
        epoxy_has_gl_extension("GL_ARB_texture_filter_anisotropic")) {
        GLfloat maximum = 1.0f;
        glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &maximum);
        probe.maxAnisotropy = std::max(1, static_cast<int32_t>(maximum));
    }
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
