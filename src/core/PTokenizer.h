#pragma once
#include <cstdint>
#include <string>

// Splits one line into fields at a delimiter string, matched as a whole sequence. Fields are trimmed (a field that is exactly
// one blank stays " "); two delimiters in a row give an empty field, a delimiter at the very end
// gives none. With quotes on, double quotes group characters (delimiters included) and are not
// part of the field; "" inside quotes stands for one double quote.
class CPTokenizer {
public:
    CPTokenizer(const std::string& text, const std::string& delimiter, bool quotes = false);
    virtual ~CPTokenizer() = default;

    // Stores the next field in token and returns true (also for an empty field); returns false
    // with token empty when nothing is left.
    bool NextToken(std::string& token);

private:
    bool AtDelimiter() const;

    std::string m_text;
    std::string m_delimiter;
    size_t m_position = 0;
    bool m_quotes;
};
