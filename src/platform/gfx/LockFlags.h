#pragma once
#include <cstdint>

namespace platform::gfx {

// Lock flags of buffers and textures.
enum LockFlags : uint32_t {
    LockNone = 0,
    // The previous contents are dropped: buffers get fresh storage, so draws that still read
    // the old contents are not disturbed and the lock never waits for them; texture locks do
    // not read the level back.
    LockDiscard = 1,
    // Buffers: the caller writes only where no pending draw reads; the lock does not wait.
    LockNoOverwrite = 2,
};

}  // namespace platform::gfx
