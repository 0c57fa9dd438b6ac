#include "core/PTokenizer.h"

#include "core/TextHelpers.h"

CPTokenizerView::CPTokenizerView(std::string_view text, std::string_view delimiter, bool quotes)
    : m_text(Trimmed(text)), m_delimiter(delimiter), m_quotes(quotes)
{
}

bool CPTokenizerView::NextToken(std::string& token)
{
    token.clear();
    const size_t length = m_text.size();
    if (m_position >= length) return false;

    bool inQuotes = false;
    bool ended = false;
    while (m_position < length && !ended) {
        const char c = m_text[m_position];
        if (m_quotes && c == '"') {
            ++m_position;
            if (!inQuotes) {
                inQuotes = true;
            } else if (m_position < length && m_text[m_position] == '"') {
                token += '"';
                ++m_position;
            } else {
                inQuotes = false;
            }
        } else if (!inQuotes && AtDelimiter()) {
            m_position += m_delimiter.size();
            ended = true;
        } else {
            token += c;
            ++m_position;
        }
    }

    if (token != " ") Trim(token);
    return true;
}

// The whole delimiter starts at the position (with quotes on, a double quote never belongs to it).
bool CPTokenizerView::AtDelimiter() const
{
    if (m_delimiter.empty() || m_text.compare(m_position, m_delimiter.size(), m_delimiter) != 0) return false;
    return !m_quotes || m_delimiter.find('"') == std::string_view::npos;
}

CPTokenizer::CPTokenizer(std::string_view text, std::string_view delimiter, bool quotes)
    : m_text(text), m_delimiter(delimiter), m_fields(m_text, m_delimiter, quotes)
{
}
