#include "platform/gfx/Texture.h"

#include <algorithm>
#include <cstring>

#include <epoxy/gl.h>

#include "platform/gfx/Dxt.h"
#include "platform/gfx/GlFormats.h"

namespace platform::gfx {

Texture::Texture(Device& device, uint32_t width, uint32_t height, uint32_t levels, Format format, TextureUsage usage,
                 Pool pool, bool decodeOnCpu)
    : Resource(device, pool),
      width_(width),
      height_(height),
      levels_(levels),
      format_(format),
      usage_(usage),
      decodeOnCpu_(decodeOnCpu && IsCompressed(format))
{
}

Texture::~Texture()
{
    if (!IsLost()) {
        ReleaseStorage();
    }
}

uint32_t Texture::Width(uint32_t level) const { return level < 32 ? std::max(1u, width_ >> level) : 1; }
uint32_t Texture::Height(uint32_t level) const { return level < 32 ? std::max(1u, height_ >> level) : 1; }

Rect Texture::LevelRect(uint32_t level) const
{
    return {0, 0, static_cast<int32_t>(Width(level)), static_cast<int32_t>(Height(level))};
}

bool Texture::CreateStorage()
{
    while (glGetError() != GL_NO_ERROR) {
    }
    const GlFormat gl = ToGl(format_, decodeOnCpu_);
    glGenTextures(1, &name_);
    glActiveTexture(GL_TEXTURE0 + kScratchTextureUnit);
    glBindTexture(GL_TEXTURE_2D, name_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels_ - 1));
    if (format_ == Format::X8R8G8B8) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, GL_ONE);
    }
    for (uint32_t level = 0; level < levels_; ++level) {
        const GLsizei w = static_cast<GLsizei>(Width(level));
        const GLsizei h = static_cast<GLsizei>(Height(level));
        if (gl.compressed) {
            const uint32_t bytes = RowPitch(format_, Width(level)) * RowCount(format_, Height(level));
            scratch_.assign(bytes, 0);
            glCompressedTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), gl.internalFormat, w, h, 0,
                                   static_cast<GLsizei>(bytes), scratch_.data());
        } else {
            glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), static_cast<GLint>(gl.internalFormat), w, h, 0,
                         gl.format, gl.type, nullptr);
        }
    }
    scratch_.clear();
    scratch_.shrink_to_fit();
    if (decodeOnCpu_) {
        shadow_.resize(levels_);
        for (uint32_t level = 0; level < levels_; ++level) {
            shadow_[level].assign(RowPitch(format_, Width(level)) * RowCount(format_, Height(level)), 0);
        }
    }
    if (usage_ == TextureUsage::RenderTarget) {
        GLint drawBinding = 0, readBinding = 0;
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawBinding);
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readBinding);
        glGenRenderbuffers(1, &depth_);
        glBindRenderbuffer(GL_RENDERBUFFER, depth_);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, static_cast<GLsizei>(width_),
                              static_cast<GLsizei>(height_));
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
        glGenFramebuffers(1, &framebuffer_);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, name_, 0);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
        const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawBinding));
        glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(readBinding));
        if (!complete) return false;
    }
    return glGetError() == GL_NO_ERROR;
}

void Texture::ReleaseStorage()
{
    glDeleteFramebuffers(1, &framebuffer_);
    glDeleteRenderbuffers(1, &depth_);
    glDeleteTextures(1, &name_);
    framebuffer_ = depth_ = name_ = 0;
    shadow_.clear();
    staging_.clear();
    locked_ = false;
}

bool Texture::ValidRect(uint32_t level, const Rect& rect) const
{
    if (level >= levels_) return false;
    const int32_t w = static_cast<int32_t>(Width(level));
    const int32_t h = static_cast<int32_t>(Height(level));
    if (rect.left < 0 || rect.top < 0 || rect.right > w || rect.bottom > h) return false;
    if (rect.left >= rect.right || rect.top >= rect.bottom) return false;
    if (!IsCompressed(format_)) return true;
    const auto onBlock = [](int32_t value, int32_t edge) { return value % 4 == 0 || value == edge; };
    return rect.left % 4 == 0 && rect.top % 4 == 0 && onBlock(rect.right, w) && onBlock(rect.bottom, h);
}

uint32_t Texture::RectOffset(uint32_t level, const Rect& rect) const
{
    const uint32_t unit = IsCompressed(format_) ? 4 : 1;
    return (static_cast<uint32_t>(rect.top) / unit) * RowPitch(format_, Width(level)) +
           (static_cast<uint32_t>(rect.left) / unit) * BytesPerUnit(format_);
}

bool Texture::Update(uint32_t level, const Rect* rect, const void* data, uint32_t pitch)
{
    if (IsLost() || locked_ || data == nullptr || level >= levels_) return false;
    const Rect area = rect != nullptr ? *rect : LevelRect(level);
    if (!ValidRect(level, area)) return false;
    if (pitch < RowPitch(format_, static_cast<uint32_t>(area.Width()))) return false;
    if (decodeOnCpu_) {
        CopyIntoShadow(level, area, static_cast<const uint8_t*>(data), pitch);
        return UploadDecoded(level, area, shadow_[level].data() + RectOffset(level, area),
                             RowPitch(format_, Width(level)));
    }
    return Upload(level, area, static_cast<const uint8_t*>(data), pitch);
}

void Texture::CopyIntoShadow(uint32_t level, const Rect& rect, const uint8_t* data, uint32_t pitch)
{
    const uint32_t rowBytes = RowPitch(format_, static_cast<uint32_t>(rect.Width()));
    const uint32_t rows = RowCount(format_, static_cast<uint32_t>(rect.Height()));
    const uint32_t levelPitch = RowPitch(format_, Width(level));
    uint8_t* target = shadow_[level].data() + RectOffset(level, rect);
    for (uint32_t row = 0; row < rows; ++row) {
        std::memcpy(target + row * levelPitch, data + row * pitch, rowBytes);
    }
}

bool Texture::Upload(uint32_t level, const Rect& rect, const uint8_t* data, uint32_t pitch)
{
    while (glGetError() != GL_NO_ERROR) {
    }
    const GlFormat gl = ToGl(format_, false);
    glActiveTexture(GL_TEXTURE0 + kScratchTextureUnit);
    glBindTexture(GL_TEXTURE_2D, name_);
    if (gl.compressed) {
        // Compressed uploads take tightly packed rows of blocks.
        const uint32_t rowBytes = RowPitch(format_, static_cast<uint32_t>(rect.Width()));
        const uint32_t rows = RowCount(format_, static_cast<uint32_t>(rect.Height()));
        if (pitch != rowBytes) {
            scratch_.resize(static_cast<size_t>(rowBytes) * rows);
            for (uint32_t row = 0; row < rows; ++row) {
                std::memcpy(scratch_.data() + row * rowBytes, data + row * pitch, rowBytes);
            }
            data = scratch_.data();
        }
        glCompressedTexSubImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), rect.left, rect.top, rect.Width(),
                                  rect.Height(), gl.internalFormat, static_cast<GLsizei>(rowBytes * rows), data);
    } else {
        const uint32_t pixelBytes = BytesPerUnit(format_);
        if (pitch % pixelBytes != 0) return false;
        glPixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(pitch / pixelBytes));
        glTexSubImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), rect.left, rect.top, rect.Width(), rect.Height(),
                        gl.format, gl.type, data);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    }
    return glGetError() == GL_NO_ERROR;
}

bool Texture::UploadDecoded(uint32_t level, const Rect& rect, const uint8_t* data, uint32_t pitch)
{
    const uint32_t w = static_cast<uint32_t>(rect.Width());
    const uint32_t h = static_cast<uint32_t>(rect.Height());
    scratch_.resize(static_cast<size_t>(w) * h * 4);
    DecodeDxt(format_, data, pitch, w, h, scratch_.data(), w * 4);
    while (glGetError() != GL_NO_ERROR) {
    }
    glActiveTexture(GL_TEXTURE0 + kScratchTextureUnit);
    glBindTexture(GL_TEXTURE_2D, name_);
    glTexSubImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), rect.left, rect.top, rect.Width(), rect.Height(),
                    GL_BGRA, GL_UNSIGNED_BYTE, scratch_.data());
    return glGetError() == GL_NO_ERROR;
}

void Texture::ReadLevel(uint32_t level, uint8_t* out)
{
    const GlFormat gl = ToGl(format_, false);
    glActiveTexture(GL_TEXTURE0 + kScratchTextureUnit);
    glBindTexture(GL_TEXTURE_2D, name_);
    if (gl.compressed) {
        glGetCompressedTexImage(GL_TEXTURE_2D, static_cast<GLint>(level), out);
    } else {
        glGetTexImage(GL_TEXTURE_2D, static_cast<GLint>(level), gl.format, gl.type, out);
    }
}

LockedRect Texture::Lock(uint32_t level, const Rect* rect, uint32_t flags)
{
    if (IsLost() || locked_ || usage_ == TextureUsage::RenderTarget || level >= levels_) return {};
    const Rect area = rect != nullptr ? *rect : LevelRect(level);
    if (!ValidRect(level, area)) return {};
    const uint32_t pitch = RowPitch(format_, Width(level));
    uint8_t* base = nullptr;
    if (decodeOnCpu_) {
        base = shadow_[level].data();
    } else {
        staging_.resize(static_cast<size_t>(pitch) * RowCount(format_, Height(level)));
        if ((flags & LockDiscard) == 0) ReadLevel(level, staging_.data());
        base = staging_.data();
    }
    locked_ = true;
    lockedLevel_ = level;
    lockedRect_ = area;
    return {base + RectOffset(level, area), pitch};
}

bool Texture::Unlock()
{
    if (IsLost() || !locked_) return false;
    locked_ = false;
    const uint32_t pitch = RowPitch(format_, Width(lockedLevel_));
    const uint32_t offset = RectOffset(lockedLevel_, lockedRect_);
    if (decodeOnCpu_) {
        return UploadDecoded(lockedLevel_, lockedRect_, shadow_[lockedLevel_].data() + offset, pitch);
    }
    return Upload(lockedLevel_, lockedRect_, staging_.data() + offset, pitch);
}

void Texture::SetLod(uint32_t level)
{
    lod_ = std::min(level, levels_ - 1);
    if (IsLost()) return;
    glActiveTexture(GL_TEXTURE0 + kScratchTextureUnit);
    glBindTexture(GL_TEXTURE_2D, name_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, static_cast<GLint>(lod_));
}

}  // namespace platform::gfx
