#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "math/PMath.h"

// The binary level file (Data\Levels\<name>.lvl), little-endian, read in this order:
//   2 floats      read and ignored
//   2 floats      half width (x) and half depth (y) of the terrain
//   int           light count; when above 0 the first light follows: a colour word (red in bits
//                 16-23, green 8-15, blue 0-7) and 12 floats, a 3 x 4 matrix column by column;
//                 then light count - 1 records of 28 bytes, read and ignored
//   int           object count, then per object: a string name (int length, bytes without
//                 terminator) and 10 floats: position x, y, z, quaternion x, y, z, w and three
//                 ignored floats
//
// The reader is bounded: every count and length must be non-negative and fit in the bytes left.
// A file is read whole before anything is built from it, so a damaged file is refused as a whole.

// The first light of a level file.
struct SPLevelLight {
    uint32_t colour = 0xFFFFFF;
    // The 3 x 4 matrix as stored: column 0 (4 floats), column 1, column 2.
    std::array<float, 12> matrix{};
};

// One object record.
struct SPLevelRecord {
    std::string name;
    PVector3 position{0.0f, 0.0f, 0.0f};
    // As stored: the level conjugates it for placed objects and check points, not for the player.
    PQuaternion rotation{0.0f, 0.0f, 0.0f, 1.0f};
    std::array<float, 3> ignored{};
};

struct SPLevelFile {
    std::array<float, 2> header{};
    float halfWidth = 5.0f;
    float halfDepth = 5.0f;
    int32_t lightCount = 0;
    SPLevelLight light;  // meaningful when lightCount > 0
    std::vector<SPLevelRecord> records;
};

// The largest half size a level may have: 2,000 units across, 1,000 x 1,000 navigation cells.
constexpr float kMaxLevelHalfSize = 1000.0f;
// Bytes of each light record after the first.
constexpr size_t kLevelLightRecordSize = 28;

// Reads and checks a whole level file. False with the reason in error when the bytes are not a
// level file: a count or length that is negative or larger than the bytes left, half sizes that
// are not finite or outside (0, kMaxLevelHalfSize], positions or quaternions that are not finite.
bool ReadLevelFile(const uint8_t* data, size_t size, SPLevelFile& level, std::string& error);

// The bytes of a level file; ReadLevelFile of them gives the same file back.
std::vector<uint8_t> WriteLevelFile(const SPLevelFile& level);
