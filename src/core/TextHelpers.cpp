#include "core/TextHelpers.h"

#include <algorithm>

bool IsSpace(char c)
{
    return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

std::string& Trim(std::string& text)
{
    const auto first = std::find_if_not(text.begin(), text.end(), IsSpace);
    text.erase(text.begin(), first);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), IsSpace).base();
    text.erase(last, text.end());
    return text;
}

std::string& StrToLower(std::string& text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

static bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsNumber(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return IsDigit(c) || c == '-' || c == '.'; });
}

bool IsInteger(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return IsDigit(c) || c == '-'; });
}
