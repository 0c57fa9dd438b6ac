#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A file of the game's folder written as a run goes (the input recording). Nothing happens to
// the file until the first Append: that one replaces it as CPFileWriter::Save does, so an old
// file stays whole until the run has something to write; later Appends add to its end. Every
// Append is handed to the system at once, so a process killed later loses nothing appended;
// Close syncs the file.
class CPGrowingFile {
public:
    explicit CPGrowingFile(std::string path);
    ~CPGrowingFile();
    CPGrowingFile(const CPGrowingFile&) = delete;
    CPGrowingFile& operator=(const CPGrowingFile&) = delete;

    // False once a write has failed (and for every Append after it).
    bool Append(const std::vector<uint8_t>& bytes);
    // Syncs and closes the file; false when that or an Append failed. Nothing to do without one.
    bool Close();

    const std::string& GetPath() const { return m_path; }

private:
    std::string m_path;
    int m_descriptor = -1;
    bool m_failed = false;
};
