#pragma once
#include <cstdint>
#include <string>

// Hands out the lines of a text file held in memory, one at a time:
// - a line that contains "//" anywhere is dropped whole;
// - every line from the one containing "/*" to the one containing "*/" is dropped whole;
// - the rest is trimmed and empty lines are skipped;
// - a line "[name]" is a section header, delivered as "name" with IsPlainLine() == 0.
// Lines end at a line feed or a zero byte; a carriage return before the line feed is trimmed.
class CPTextReader {
public:
    // The reader does not own the data; the caller keeps it alive.
    CPTextReader(const void* data, int32_t size);
    virtual ~CPTextReader() = default;

    // Reads the next non-empty line into line and returns true; at the end of the data stores ""
    // and returns false.
    bool ReadLine(std::string& line);
    // 1 when the last line returned was an ordinary line, 0 when it was a section header.
    int32_t IsPlainLine() const { return m_plain; }
    // The number in the file (from 1) of the last line returned, for reports.
    int32_t GetLineNumber() const { return m_lineNumber; }

private:
    void ReadRawLine();
    void RemoveComments();

    const char* m_data;
    int32_t m_size;
    int32_t m_position = 0;
    std::string m_line;
    bool m_inComment = false;
    int32_t m_plain = 0;
    int32_t m_lineNumber = 0;
};
