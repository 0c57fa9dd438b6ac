#include "platform/gfx/ContextLimits.h"

#include <epoxy/gl.h>

#include <algorithm>

namespace platform::gfx {

ContextLimits QueryContextLimits()
{
    ContextLimits limits;
    GLint samples = 0;
    glGetIntegerv(GL_MAX_SAMPLES, &samples);
    limits.maxSamples = samples;
    limits.s3tc = epoxy_has_gl_extension("GL_EXT_texture_compression_s3tc");
    if (epoxy_has_gl_extension("GL_EXT_texture_filter_anisotropic") ||
        epoxy_has_gl_extension("GL_ARB_texture_filter_anisotropic")) {
        GLfloat maximum = 1.0f;
        glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &maximum);
        limits.maxAnisotropy = std::max(1, static_cast<int32_t>(maximum));
    }
    return limits;
}

}  // namespace platform::gfx
