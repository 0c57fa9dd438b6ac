#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/PBinaryReader.h"

// Reads a whole file: from disk if it exists there (relative to the working directory, any case),
// else from the highest-numbered mounted data pack that holds the path. Pack bodies are always
// unscrambled; a file found on disk is unscrambled only when the reader was made with scrambled
// set. The binary stream reads are bounded (PBinaryReader.h).
class CPFile {
public:
    // Keeps the path lower-cased; reads nothing yet.
    explicit CPFile(const std::string& path, bool scrambled = false);
    virtual ~CPFile() = default;

    // Reads the whole file, replacing what an earlier Load read. S_OK or E_FAIL; after a short
    // read the bytes that arrived are kept.
    int32_t Load();

    const uint8_t* GetData() const { return m_data.data(); }
    int32_t GetSize() const { return static_cast<int32_t>(m_data.size()); }
    const std::string& GetPath() const { return m_path; }

    // Copies n bytes from the read position; E_FAIL (destination zero-filled) when fewer remain.
    int32_t Read(void* destination, int32_t n);
    int32_t ReadInt() { return m_reader.ReadInt(); }
    float ReadFloat() { return m_reader.ReadFloat(); }
    std::string ReadString() { return m_reader.ReadString(); }
    int32_t GetRemaining() const { return static_cast<int32_t>(m_reader.GetRemaining()); }
    // True once a read asked for more than remained.
    bool HasFailed() const { return m_reader.HasFailed(); }

private:
    int32_t LoadFromDisk(const std::string& diskPath);
    int32_t LoadFromPacks();

    std::vector<uint8_t> m_data;
    std::string m_path;
    bool m_scrambled;
    CPBinaryReader m_reader;
};
