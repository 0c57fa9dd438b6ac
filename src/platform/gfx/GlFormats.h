#pragma once
// GL names of the texture formats. Include only from .cpp files of this folder.
#include <epoxy/gl.h>

#include "platform/gfx/Format.h"
#include "platform/gfx/RenderStates.h"

namespace platform::gfx {

// The texture unit that uploads and parameter changes bind to, so that the units drawing
// reads from keep their textures.
constexpr GLenum kScratchTextureUnit = kTextureStages;

struct GlFormat {
    GLenum internalFormat;
    GLenum format;  // of uploads, for uncompressed formats
    GLenum type;
    bool compressed;
};

// decoded: DXT data decoded on the CPU into 32-bit pixels.
inline GlFormat ToGl(Format format, bool decoded)
{
    switch (format) {
    case Format::A8R8G8B8:
    case Format::X8R8G8B8: return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, false};
    case Format::R5G6B5: return {GL_RGB565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, false};
    case Format::DXT1:
        return decoded ? GlFormat{GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, false}
                       : GlFormat{GL_COMPRESSED_RGBA_S3TC_DXT1_EXT, 0, 0, true};
    case Format::DXT3:
        return decoded ? GlFormat{GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, false}
                       : GlFormat{GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, 0, 0, true};
    case Format::DXT5:
        return decoded ? GlFormat{GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, false}
                       : GlFormat{GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, 0, 0, true};
    }
    return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, false};
}

}  // namespace platform::gfx
