#include "game/LevelFile.h"

#include <cmath>

#include "core/PBinaryReader.h"
#include "core/PFileWriter.h"

namespace {

// The smallest object record: an empty name and 10 floats.
constexpr size_t kMinRecordSize = 4 + 10 * 4;

bool Finite(const PVector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

bool Finite(const PQuaternion& q)
{
    return std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z) && std::isfinite(q.w);
}

bool ValidHalfSize(float value) { return std::isfinite(value) && value > 0.0f && value <= kMaxLevelHalfSize; }

bool Refuse(std::string& error, const std::string& reason)
{
    error = reason;
    return false;
}

// A count read as an int: non-negative and, at recordSize bytes each, within the bytes left.
bool ReadCount(CPBinaryReader& reader, size_t recordSize, int32_t& count, const char* what, std::string& error)
{
    count = reader.ReadInt();
    if (reader.HasFailed()) return Refuse(error, std::string("the file ends before the ") + what);
    if (count < 0) return Refuse(error, std::string("the ") + what + " " + std::to_string(count) + " is negative");
    if (static_cast<size_t>(count) > reader.GetRemaining() / recordSize) {
        return Refuse(error, std::string("the ") + what + " " + std::to_string(count) + " does not fit in the file");
    }
    return true;
}

bool ReadLight(CPBinaryReader& reader, SPLevelFile& level, std::string& error)
{
    if (!ReadCount(reader, 1, level.lightCount, "light count", error)) return false;
    if (level.lightCount == 0) return true;
    level.light.colour = reader.ReadUInt();
    for (float& value : level.light.matrix) value = reader.ReadFloat();
    const size_t skipped = static_cast<size_t>(level.lightCount - 1) * kLevelLightRecordSize;
    if (reader.HasFailed() || skipped > reader.GetRemaining()) {
        return Refuse(error, "the file ends inside its " + std::to_string(level.lightCount) + " lights");
    }
    uint8_t ignored[kLevelLightRecordSize];
    for (int32_t i = 1; i < level.lightCount; ++i) reader.Read(ignored, sizeof ignored);
    return true;
}

bool ReadRecord(CPBinaryReader& reader, SPLevelRecord& record, int32_t index, std::string& error)
{
    const size_t before = reader.GetRemaining();
    record.name = reader.ReadString();
    PVector3& p = record.position;
    PQuaternion& q = record.rotation;
    p = {reader.ReadFloat(), reader.ReadFloat(), reader.ReadFloat()};
    q = {reader.ReadFloat(), reader.ReadFloat(), reader.ReadFloat(), reader.ReadFloat()};
    for (float& value : record.ignored) value = reader.ReadFloat();
    const std::string which = "object " + std::to_string(index);
    if (reader.HasFailed()) {
        return Refuse(error, "the file ends inside " + which + " (" + std::to_string(before) + " bytes left)");
    }
    if (!Finite(p)) return Refuse(error, which + " \"" + record.name + "\" has a position that is not a number");
    if (!Finite(q)) return Refuse(error, which + " \"" + record.name + "\" has a rotation that is not a number");
    return true;
}

}  // namespace

bool ReadLevelFile(const uint8_t* data, size_t size, SPLevelFile& level, std::string& error)
{
    CPBinaryReader reader(data, size);
    SPLevelFile read;
    read.header = {reader.ReadFloat(), reader.ReadFloat()};
    read.halfWidth = reader.ReadFloat();
    read.halfDepth = reader.ReadFloat();
    if (reader.HasFailed()) return Refuse(error, "the file ends inside its header");
    if (!ValidHalfSize(read.halfWidth) || !ValidHalfSize(read.halfDepth)) {
        return Refuse(error, "the half sizes " + std::to_string(read.halfWidth) + " x " +
                                 std::to_string(read.halfDepth) + " are not within (0, " +
                                 std::to_string(kMaxLevelHalfSize) + "]");
    }
    if (!ReadLight(reader, read, error)) return false;
    int32_t count = 0;
    if (!ReadCount(reader, kMinRecordSize, count, "object count", error)) return false;
    read.records.resize(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        if (!ReadRecord(reader, read.records[static_cast<size_t>(i)], i, error)) return false;
    }
    level = std::move(read);
    return true;
}

std::vector<uint8_t> WriteLevelFile(const SPLevelFile& level)
{
    CPFileWriter writer("");
    writer.WriteFloat(level.header[0]);
    writer.WriteFloat(level.header[1]);
    writer.WriteFloat(level.halfWidth);
    writer.WriteFloat(level.halfDepth);
    writer.WriteInt(level.lightCount);
    if (level.lightCount > 0) {
        writer.WriteInt(static_cast<int32_t>(level.light.colour));
        for (float value : level.light.matrix) writer.WriteFloat(value);
        const std::vector<uint8_t> zeros(static_cast<size_t>(level.lightCount - 1) * kLevelLightRecordSize);
        writer.Write(zeros.data(), static_cast<int32_t>(zeros.size()));
    }
    writer.WriteInt(static_cast<int32_t>(level.records.size()));
    for (const SPLevelRecord& record : level.records) {
        writer.WriteString(record.name);
        for (float value : {record.position.x, record.position.y, record.position.z, record.rotation.x,
                            record.rotation.y, record.rotation.z, record.rotation.w}) {
            writer.WriteFloat(value);
        }
        for (float value : record.ignored) writer.WriteFloat(value);
    }
    return writer.GetBuffer();
}
