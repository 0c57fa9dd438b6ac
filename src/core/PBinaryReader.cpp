#include "core/PBinaryReader.h"

#include <bit>
#include <cstring>

bool CPBinaryReader::Fail()
{
    m_position = m_size;
    m_failed = true;
    return false;
}

bool CPBinaryReader::Read(void* destination, size_t n)
{
    if (n > GetRemaining()) {
        if (n > 0) std::memset(destination, 0, n);
        return Fail();
    }
    if (n > 0) std::memcpy(destination, m_data + m_position, n);
    m_position += n;
    return true;
}

uint32_t CPBinaryReader::ReadUInt()
{
    uint8_t bytes[4];
    Read(bytes, sizeof bytes);
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

int32_t CPBinaryReader::ReadInt()
{
    return static_cast<int32_t>(ReadUInt());
}

float CPBinaryReader::ReadFloat()
{
    return std::bit_cast<float>(ReadUInt());
}

std::string CPBinaryReader::ReadString()
{
    const uint32_t length = ReadUInt();
    if (m_failed || length > GetRemaining()) {
        Fail();
        return {};
    }
    if (length == 0) return {};
    const char* text = reinterpret_cast<const char*>(m_data + m_position);
    m_position += length;
    return std::string(text, strnlen(text, length));
}
