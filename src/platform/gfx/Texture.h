#pragma once
#include <cstdint>
#include <vector>

#include "platform/gfx/Format.h"
#include "platform/gfx/LockFlags.h"
#include "platform/gfx/Rect.h"
#include "platform/gfx/Resource.h"

namespace platform::gfx {

// A render target is a texture the device can draw into (with a depth buffer of its own).
enum class TextureUsage : uint32_t { Normal, RenderTarget };

// Where a locked part of a texture level lies in memory.
struct LockedRect {
    void* bits = nullptr;  // the top-left pixel (block) of the rectangle; null when the lock failed
    uint32_t pitch = 0;    // bytes from one row (row of blocks) to the next
};

// A 2D texture with a chain of mip levels (level 0 the largest). Rows are stored from the top:
// texture coordinate v = 0 is the first row. Made by Device::CreateTexture.
class Texture : public Resource {
public:
    ~Texture() override;

    Format GetFormat() const { return format_; }
    TextureUsage GetUsage() const { return usage_; }
    uint32_t LevelCount() const { return levels_; }
    uint32_t Width(uint32_t level = 0) const;
    uint32_t Height(uint32_t level = 0) const;

    // Uploads into rect of a level (the whole level when rect is null). data holds the
    // rectangle's rows (rows of 4 × 4 blocks for DXT formats) pitch bytes apart. DXT rectangles
    // start on a block and end on a block or at the level's edge. False when the level or
    // rectangle is invalid or the texture is lost.
    bool Update(uint32_t level, const Rect* rect, const void* data, uint32_t pitch);

    // Hands out memory for rect of a level (the whole level when null); Unlock uploads it.
    // Without LockDiscard the memory holds the level's current contents. One lock at a time;
    // render targets cannot be locked. bits is null on failure.
    LockedRect Lock(uint32_t level, const Rect* rect, uint32_t flags);
    bool Unlock();

    // Drawing starts at this mip level (0 = the full-size level); clamped to the last level.
    void SetLod(uint32_t level);
    uint32_t GetLod() const { return lod_; }

private:
    friend class Device;
    Texture(Device& device, uint32_t width, uint32_t height, uint32_t levels, Format format, TextureUsage usage,
            Pool pool, bool decodeOnCpu);
    bool CreateStorage();
    void ReleaseStorage() override;
    bool ValidRect(uint32_t level, const Rect& rect) const;
    Rect LevelRect(uint32_t level) const;
    bool Upload(uint32_t level, const Rect& rect, const uint8_t* data, uint32_t pitch);
    bool UploadDecoded(uint32_t level, const Rect& rect, const uint8_t* data, uint32_t pitch);
    void ReadLevel(uint32_t level, uint8_t* out);
    void CopyIntoShadow(uint32_t level, const Rect& rect, const uint8_t* data, uint32_t pitch);
    uint32_t RectOffset(uint32_t level, const Rect& rect) const;

    uint32_t name_ = 0;
    uint32_t framebuffer_ = 0;  // render targets: the framebuffer drawing into this texture
    uint32_t depth_ = 0;        // render targets: the depth buffer
    uint32_t width_, height_, levels_;
    Format format_;
    TextureUsage usage_;
    // DXT data the driver cannot sample is decoded into 32-bit pixels; the blocks themselves are
    // kept in shadow_ (one copy per level) so that locks see them.
    bool decodeOnCpu_;
    std::vector<std::vector<uint8_t>> shadow_;
    std::vector<uint8_t> staging_;  // the locked level, when not decoded on the CPU
    std::vector<uint8_t> scratch_;  // repacked or decoded rectangles on their way up
    bool locked_ = false;
    uint32_t lockedLevel_ = 0;
    Rect lockedRect_{};
    uint32_t lod_ = 0;
};

}  // namespace platform::gfx
