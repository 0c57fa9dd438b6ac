#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Writes all the bytes to the descriptor, going on after interruptions; false when a write
// fails or writes nothing.
bool WriteAllBytes(int descriptor, const std::vector<uint8_t>& bytes);

// Collects a whole file in memory in the binary stream format (PBinaryReader.h) and writes it
// with Save. The path resolves like every game path (PathResolver.h): an existing file or folder
// is reused whatever its case, missing folders are created.
class CPFileWriter {
public:
    explicit CPFileWriter(const std::string& path, bool scrambled = false);
    virtual ~CPFileWriter() = default;

    int32_t Write(const void* bytes, int32_t n);
    int32_t WriteInt(int32_t value);
    int32_t WriteFloat(float value);
    // The length as an int, then the characters without terminator.
    int32_t WriteString(const std::string& text);

    // Replaces the file as a whole: the bytes (scrambled when the writer was made with scrambled
    // set; the buffer itself stays as written) go to a temporary file beside it, created under a
    // fresh, short name (never through an existing file or link) with the mode of the file it
    // replaces, synced and renamed over the file, so a link in the file's place is replaced, not
    // followed; then the folder is synced, so the old file or the new one survives any crash.
    // Temporary files of the same file that a write killed before its rename left are removed.
    // E_FAIL, with the old file untouched, when a folder cannot be created, the file is read-only
    // or a folder, or any write, sync, close or rename fails (a failing sync of the folder comes
    // after the rename).
    int32_t Save();
    // Whether Save could replace the file at path now, found out without touching it: the path
    // resolves for writing (missing folders are created), the file is not read-only and its
    // folder takes new files.
    static bool CanSave(const std::string& path);

    const std::vector<uint8_t>& GetBuffer() const { return m_buffer; }

private:
    std::vector<uint8_t> m_buffer;
    std::string m_path;
    bool m_scrambled;
};
