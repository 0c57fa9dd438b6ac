#include "platform/ReadPixels.h"

#include <SDL2/SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <array>

namespace platform {
namespace {

// Points reading at the default framebuffer's back buffer with tightly packed rows in client
// memory, and restores the previous state when it goes out of scope.
class ReadStateGuard {
public:
    ReadStateGuard() {
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &framebuffer_);
        glGetIntegerv(GL_PIXEL_PACK_BUFFER_BINDING, &packBuffer_);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
        glGetIntegerv(GL_READ_BUFFER, &readBuffer_);
        glReadBuffer(GL_BACK);
        for (size_t i = 0; i < kPackNames.size(); ++i) {
            glGetIntegerv(kPackNames[i], &pack_[i]);
            glPixelStorei(kPackNames[i], kPackNames[i] == GL_PACK_ALIGNMENT ? 4 : 0);
        }
    }
    ~ReadStateGuard() {
        for (size_t i = 0; i < kPackNames.size(); ++i) glPixelStorei(kPackNames[i], pack_[i]);
        glReadBuffer(GLenum(readBuffer_));
        glBindBuffer(GL_PIXEL_PACK_BUFFER, GLuint(packBuffer_));
        glBindFramebuffer(GL_READ_FRAMEBUFFER, GLuint(framebuffer_));
    }
    ReadStateGuard(const ReadStateGuard&) = delete;
    ReadStateGuard& operator=(const ReadStateGuard&) = delete;

private:
    static constexpr std::array<GLenum, 4> kPackNames = {GL_PACK_ALIGNMENT, GL_PACK_ROW_LENGTH, GL_PACK_SKIP_PIXELS,
                                                         GL_PACK_SKIP_ROWS};
    GLint framebuffer_ = 0, packBuffer_ = 0, readBuffer_ = 0;
    std::array<GLint, 4> pack_{};
};

}  // namespace

std::vector<uint32_t> ReadPixels(int32_t x, int32_t y, int32_t w, int32_t h) {
    std::vector<uint32_t> pixels(size_t(std::max(w, 0)) * size_t(std::max(h, 0)), 0);
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    if (!window || pixels.empty()) return pixels;
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(window, &width, &height);
    // The part of the rectangle inside the window, in top-down coordinates.
    const int32_t left = int32_t(std::max<int64_t>(x, 0)), right = int32_t(std::min<int64_t>(int64_t(x) + w, width));
    const int32_t top = int32_t(std::max<int64_t>(y, 0)), bottom = int32_t(std::min<int64_t>(int64_t(y) + h, height));
    if (left >= right || top >= bottom) return pixels;

    const size_t inside = size_t(right - left);
    std::vector<uint32_t> block(inside * size_t(bottom - top));
    {
        ReadStateGuard guard;
        // GL counts rows from the bottom: the block's first row is the rectangle's lowest.
        glReadPixels(left, height - bottom, right - left, bottom - top, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                     block.data());
    }
    for (int32_t screenY = top; screenY < bottom; ++screenY) {
        const auto source = block.begin() + ptrdiff_t(size_t(bottom - 1 - screenY) * inside);
        std::copy(source, source + ptrdiff_t(inside),
                  pixels.begin() + ptrdiff_t(size_t(screenY - y) * size_t(w) + size_t(left - x)));
    }
    return pixels;
}

}  // namespace platform
