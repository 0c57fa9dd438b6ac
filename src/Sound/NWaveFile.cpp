#include "Sound/NWaveFile.h"

#include <cstdio>
#include <cstring>

#include "core/PLog.h"
#include "core/Result.h"
#include "platform/LittleEndian.h"
#include "platform/PathResolver.h"

namespace {

constexpr size_t kChunkHeaderSize = 8;
constexpr uint16_t kFormatPcm = 1;
constexpr uint32_t kMinFrequency = 100;
constexpr uint32_t kMaxFrequency = 200000;

// The chunk identifier as printable text for log lines.
std::string ChunkName(const uint8_t* id) {
    std::string name;
    for (int i = 0; i < 4; ++i) name += (id[i] >= 0x20 && id[i] < 0x7F) ? static_cast<char>(id[i]) : '?';
    return name;
}

// Reads a whole regular file of at most maxSize bytes.
bool ReadWholeFile(const std::string& diskPath, size_t maxSize, std::vector<uint8_t>& bytes, std::string& reason) {
    FILE* file = std::fopen(diskPath.c_str(), "rb");
    if (!file) {
        reason = "cannot be opened";
        return false;
    }
    bytes.clear();
    uint8_t block[65536];
    size_t got = 0;
    while ((got = std::fread(block, 1, sizeof(block), file)) > 0) {
        if (bytes.size() + got > maxSize) {
            std::fclose(file);
            reason = "is larger than 64 MiB";
            return false;
        }
        bytes.insert(bytes.end(), block, block + got);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) reason = "cannot be read";
    return !failed;
}

}  // namespace

int32_t CNWaveFile::Open(const std::string& path, const SNWaveFormat*, int32_t mode) {
    Close();
    if (mode != kModeRead) return Refuse(path, "can only be read");
    std::string diskPath;
    if (!platform::ResolveFile(path, diskPath)) return Refuse(path, "does not exist");
    std::vector<uint8_t> bytes;
    std::string reason;
    if (!ReadWholeFile(diskPath, kMaxFileSize, bytes, reason)) return Refuse(path, reason);
    return OpenMemory(std::move(bytes), path);
}

int32_t CNWaveFile::OpenMemory(std::vector<uint8_t> bytes, const std::string& name) {
    Close();
    m_bytes = std::move(bytes);
    std::string reason;
    if (!ParseChunks(reason) || !CheckFormat(reason)) return Refuse(name, reason);
    m_error.clear();
    return ResetFile();
}

int32_t CNWaveFile::Refuse(const std::string& name, const std::string& reason) {
    Close();
    m_error = reason;
    GetLog()->Print(0, "Sound file %s refused: %s\n", name.c_str(), reason.c_str());
    return E_FAIL;
}

bool CNWaveFile::ParseChunks(std::string& reason) {
    const uint8_t* bytes = m_bytes.data();
    if (m_bytes.size() < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0) {
        reason = "not a RIFF/WAVE file";
        return false;
    }
    const uint32_t riffSize = platform::Read32(bytes + 4);
    if (riffSize < 4 || riffSize > m_bytes.size() - kChunkHeaderSize) {
        reason = "the RIFF size " + std::to_string(riffSize) + " does not fit the file's " +
                 std::to_string(m_bytes.size()) + " bytes";
        return false;
    }
    const size_t end = kChunkHeaderSize + riffSize;
    bool haveFormat = false;
    bool haveData = false;
    for (size_t position = 12; end - position >= kChunkHeaderSize;) {
        const uint8_t* header = bytes + position;
        const uint32_t size = platform::Read32(header + 4);
        const size_t body = position + kChunkHeaderSize;
        if (size > end - body) {
            reason = "the chunk '" + ChunkName(header) + "' runs past the end of the file";
            return false;
        }
        if (!haveFormat && std::memcmp(header, "fmt ", 4) == 0) {
            if (!ReadFormatChunk(body, size, reason)) return false;
            haveFormat = true;
        } else if (!haveData && std::memcmp(header, "data", 4) == 0) {
            m_dataOffset = body;
            m_dataSize = size;
            haveData = true;
        }
        position = body + size + (size & 1u);
        if (position > end) break;
    }
    if (!haveFormat || !haveData) reason = haveFormat ? "no \"data\" chunk" : "no \"fmt \" chunk";
    return haveFormat && haveData;
}

bool CNWaveFile::ReadFormatChunk(size_t offset, uint32_t size, std::string& reason) {
    if (size < 16) {
        reason = "the \"fmt \" chunk holds fewer than 16 bytes";
        return false;
    }
    const uint8_t* p = m_bytes.data() + offset;
    m_format.formatTag = platform::Read16(p);
    m_format.channels = platform::Read16(p + 2);
    m_format.samplesPerSec = platform::Read32(p + 4);
    m_format.avgBytesPerSec = platform::Read32(p + 8);
    m_format.blockAlign = platform::Read16(p + 12);
    m_format.bitsPerSample = platform::Read16(p + 14);
    return true;
}

bool CNWaveFile::CheckFormat(std::string& reason) const {
    const SNWaveFormat& f = m_format;
    if (f.formatTag != kFormatPcm) {
        reason = "format tag " + std::to_string(f.formatTag) + " is not PCM";
    } else if ((f.channels != 1 && f.channels != 2) || (f.bitsPerSample != 8 && f.bitsPerSample != 16)) {
        reason = std::to_string(f.channels) + " channels of " + std::to_string(f.bitsPerSample) +
                 " bits are not supported (mono or stereo, 8 or 16 bits)";
    } else if (f.blockAlign != f.channels * f.bitsPerSample / 8) {
        reason = "the block alignment " + std::to_string(f.blockAlign) + " does not match the format";
    } else if (f.samplesPerSec < kMinFrequency || f.samplesPerSec > kMaxFrequency) {
        reason = "the rate " + std::to_string(f.samplesPerSec) + " is outside 100 to 200000";
    }
    return reason.empty();
}

int32_t CNWaveFile::ResetFile() {
    if (m_bytes.empty()) return E_FAIL;
    m_dataSize -= m_dataSize % m_format.blockAlign;
    m_bytesLeft = m_dataSize;
    return S_OK;
}

int32_t CNWaveFile::Read(uint8_t* destination, uint32_t n, uint32_t* bytesRead) {
    const uint32_t count = n < m_bytesLeft ? n : m_bytesLeft;
    if (count > 0) std::memcpy(destination, m_bytes.data() + m_dataOffset + (m_dataSize - m_bytesLeft), count);
    m_bytesLeft -= count;
    if (bytesRead) *bytesRead = count;
    return S_OK;
}

void CNWaveFile::Close() {
    m_bytes.clear();
    m_bytes.shrink_to_fit();
    m_format = SNWaveFormat{};
    m_dataOffset = 0;
    m_dataSize = 0;
    m_bytesLeft = 0;
}
