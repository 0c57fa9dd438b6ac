#pragma once
#include <cstdint>

namespace platform {

// Little-endian integers read from bytes of a file; the caller has checked that they are there.
inline uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

inline uint32_t Read32(const uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace platform
