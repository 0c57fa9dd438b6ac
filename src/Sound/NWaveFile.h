#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The format block of a wave file (the fields of its "fmt " chunk).
struct SNWaveFormat {
    uint16_t formatTag = 0;  // 1: PCM
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
};

// Reads RIFF/WAVE files of PCM samples: 8 or 16 bits, mono or stereo, 100 to 200,000 frames per
// second. The whole file is read into memory (at most 64 MiB) and every chunk size is checked
// against it: a truncated file, a size that runs past the end, a missing "fmt " or "data" chunk
// and any other sample format are refused with a log line naming the file and the reason.
// A data size that is not a whole number of frames is cut to whole frames.
class CNWaveFile {
public:
    static constexpr int32_t kModeRead = 1;
    static constexpr size_t kMaxFileSize = 64u << 20;

    // Opens a file of the file system (a game path, any case) for reading (mode 1; the format
    // argument is for writing and not used). 0 on success, E_FAIL otherwise.
    int32_t Open(const std::string& path, const SNWaveFormat* format, int32_t mode);
    // The same over bytes held in memory; name is the file named in log lines.
    int32_t OpenMemory(std::vector<uint8_t> bytes, const std::string& name);
    // Back to the start of the sample data. 0, or E_FAIL when nothing is open.
    int32_t ResetFile();
    // Copies up to n bytes of sample data from the read position; bytesRead says how many.
    int32_t Read(uint8_t* destination, uint32_t n, uint32_t* bytesRead);
    void Close();

    const SNWaveFormat& GetFormat() const { return m_format; }
    // The sample data's size in bytes (0 when nothing is open).
    uint32_t GetSize() const { return m_dataSize; }
    // Why the last Open failed ("" after a success).
    const std::string& GetError() const { return m_error; }

private:
    int32_t Refuse(const std::string& name, const std::string& reason);
    bool ParseChunks(std::string& reason);
    bool ReadFormatChunk(size_t offset, uint32_t size, std::string& reason);
    bool CheckFormat(std::string& reason) const;

    std::vector<uint8_t> m_bytes;
    SNWaveFormat m_format;
    size_t m_dataOffset = 0;
    uint32_t m_dataSize = 0;
    uint32_t m_bytesLeft = 0;
    std::string m_error;
};
