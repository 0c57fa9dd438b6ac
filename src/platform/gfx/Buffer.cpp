#include "platform/gfx/Buffer.h"

#include <epoxy/gl.h>

namespace platform::gfx {

// Buffers are created and mapped through the copy-write target so that no vertex array's
// index binding changes behind the device's back.
Buffer::Buffer(Device& device, Usage usage, Pool pool, uint32_t sizeBytes)
    : Resource(device, pool), sizeBytes_(sizeBytes), usage_(usage)
{
}

Buffer::~Buffer()
{
    if (!IsLost()) {
        ReleaseStorage();
    }
}

bool Buffer::CreateStorage()
{
    while (glGetError() != GL_NO_ERROR) {
    }
    glGenBuffers(1, &name_);
    glBindBuffer(GL_COPY_WRITE_BUFFER, name_);
    glBufferData(GL_COPY_WRITE_BUFFER, sizeBytes_, nullptr, usage_ == Usage::Dynamic ? GL_STREAM_DRAW : GL_STATIC_DRAW);
    glBindBuffer(GL_COPY_WRITE_BUFFER, 0);
    return glGetError() == GL_NO_ERROR;
}

void Buffer::ReleaseStorage()
{
    if (locked_) {
        glBindBuffer(GL_COPY_WRITE_BUFFER, name_);
        glUnmapBuffer(GL_COPY_WRITE_BUFFER);
        glBindBuffer(GL_COPY_WRITE_BUFFER, 0);
        locked_ = false;
    }
    glDeleteBuffers(1, &name_);
    name_ = 0;
}

void* Buffer::LockBytes(uint32_t offset, uint32_t size, uint32_t flags)
{
    if (IsLost() || locked_ || offset >= sizeBytes_) return nullptr;
    if (size == 0) size = sizeBytes_ - offset;
    if (size > sizeBytes_ - offset) return nullptr;

    GLbitfield access = GL_MAP_WRITE_BIT;
    if (flags & LockDiscard) {
        access |= GL_MAP_INVALIDATE_BUFFER_BIT;
    } else if (flags & LockNoOverwrite) {
        access |= GL_MAP_UNSYNCHRONIZED_BIT;
    }
    glBindBuffer(GL_COPY_WRITE_BUFFER, name_);
    void* data = glMapBufferRange(GL_COPY_WRITE_BUFFER, offset, size, access);
    glBindBuffer(GL_COPY_WRITE_BUFFER, 0);
    locked_ = data != nullptr;
    return data;
}

bool Buffer::UnlockBytes()
{
    if (IsLost() || !locked_) return false;
    glBindBuffer(GL_COPY_WRITE_BUFFER, name_);
    const GLboolean intact = glUnmapBuffer(GL_COPY_WRITE_BUFFER);
    glBindBuffer(GL_COPY_WRITE_BUFFER, 0);
    locked_ = false;
    return intact == GL_TRUE;
}

}  // namespace platform::gfx
