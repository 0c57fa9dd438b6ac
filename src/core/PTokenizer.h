#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Splits one line into fields at a delimiter string, matched as a whole sequence. Fields are trimmed (a field that is exactly
// one blank stays " "); two delimiters in a row give an empty field, a delimiter at the very end
// gives none. With quotes on, double quotes group characters (delimiters included) and are not
// part of the field; "" inside quotes stands for one double quote.
//
// This one reads text it does not own, which must outlive it: it copies nothing, and a token
// string that is reused allocates only when a field is longer than any before.
class CPTokenizerView {
public:
    CPTokenizerView(std::string_view text, std::string_view delimiter, bool quotes = false);

    // Stores the next field in token and returns true (also for an empty field); returns false
    // with token empty when nothing is left.
    bool NextToken(std::string& token);

private:
    bool AtDelimiter() const;

    std::string_view m_text;
    std::string_view m_delimiter;
    size_t m_position = 0;
    bool m_quotes;
};

// The same over its own copy of the text and the delimiter.
class CPTokenizer {
public:
    CPTokenizer(std::string_view text, std::string_view delimiter, bool quotes = false);
    virtual ~CPTokenizer() = default;
    CPTokenizer(const CPTokenizer&) = delete;
    CPTokenizer& operator=(const CPTokenizer&) = delete;

    bool NextToken(std::string& token) { return m_fields.NextToken(token); }

private:
    std::string m_text;
    std::string m_delimiter;
    CPTokenizerView m_fields;  // over the two copies
};
