#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Bounded reader of the binary stream format over bytes held in memory:
// - int: 4 bytes, little-endian two's complement;
// - float: 4 bytes, IEEE-754 single precision, little-endian;
// - string: a 32-bit length n, then n bytes without terminator.
// A read that asks for more bytes than remain fails without allocating or copying anything:
// it yields zeros (or ""), moves the position to the end and sets the failed flag, so every
// later read fails too.
class CPBinaryReader {
public:
    CPBinaryReader() = default;
    CPBinaryReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    // Copies n bytes to destination; on failure fills destination with zeros and returns false.
    bool Read(void* destination, size_t n);
    int32_t ReadInt();
    uint32_t ReadUInt();
    float ReadFloat();
    // The string ends at its first zero byte, if it holds one.
    std::string ReadString();

    size_t GetPosition() const { return m_position; }
    size_t GetRemaining() const { return m_size - m_position; }
    bool HasFailed() const { return m_failed; }

private:
    bool Fail();

    const uint8_t* m_data = nullptr;
    size_t m_size = 0;
    size_t m_position = 0;
    bool m_failed = false;
};
