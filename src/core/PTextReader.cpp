#include "core/PTextReader.h"

#include "core/TextHelpers.h"

CPTextReader::CPTextReader(const void* data, int32_t size)
    : m_data(static_cast<const char*>(data)), m_size(data != nullptr && size > 0 ? size : 0)
{
}

void CPTextReader::ReadRawLine()
{
    m_line.clear();
    ++m_lineNumber;
    while (m_position < m_size) {
        const char c = m_data[m_position++];
        if (c == '\n' || c == '\0') return;
        m_line += c;
    }
}

void CPTextReader::RemoveComments()
{
    if (m_line.find("//") != std::string::npos) m_line.clear();
    if (m_line.find("/*") != std::string::npos) m_inComment = true;
    if (m_line.find("*/") != std::string::npos) {
        m_inComment = false;
        m_line.clear();
    }
    if (m_inComment) m_line.clear();
}

bool CPTextReader::ReadLine(std::string& line)
{
    do {
        ReadRawLine();
        RemoveComments();
        Trim(m_line);
    } while (m_line.empty() && m_position < m_size);

    const bool found = !m_line.empty();
    if (m_line.size() >= 2 && m_line.front() == '[' && m_line.back() == ']') {
        m_line = m_line.substr(1, m_line.size() - 2);
        m_plain = 0;
    } else {
        m_plain = 1;
    }
    line = m_line;
    return found;
}
