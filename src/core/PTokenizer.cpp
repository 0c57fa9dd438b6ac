#include "core/PTokenizer.h"

#include "core/TextHelpers.h"

CPTokenizer::CPTokenizer(const std::string& text, const std::string& delimiter, bool quotes)
    : m_text(text), m_delimiter(delimiter), m_quotes(quotes)
{
    Trim(m_text);
}

bool CPTokenizer::NextToken(std::string& token)
{
    token.clear();
    const int32_t length = static_cast<int32_t>(m_text.size());
    if (m_position >= length) return false;

    const int32_t delimiterLength = static_cast<int32_t>(m_delimiter.size());
    bool inQuotes = false;
    int32_t matched = 0;  // delimiter characters held back by a partial match
    bool ended = false;
    while (m_position < length && !ended) {
        const char c = m_text[m_position++];
        if (m_quotes && c == '"') {
            token.append(m_delimiter, 0, matched);
            matched = 0;
            if (!inQuotes) {
                inQuotes = true;
            } else if (m_position < length && m_text[m_position] == '"') {
                token += '"';
                ++m_position;
            } else {
                inQuotes = false;
            }
        } else if (inQuotes) {
            token += c;
        } else if (matched < delimiterLength && c == m_delimiter[matched]) {
            ended = ++matched == delimiterLength;
        } else {
            token.append(m_delimiter, 0, matched);
            matched = 0;
            if (delimiterLength > 0 && c == m_delimiter[0]) {
                ended = ++matched == delimiterLength;
            } else {
                token += c;
            }
        }
    }
    if (!ended) token.append(m_delimiter, 0, matched);

    if (token != " ") Trim(token);
    return true;
}
