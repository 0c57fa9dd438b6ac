#include "core/PDator.h"

#include <charconv>

namespace {

// True when text begins with a digit or a decimal point.
bool StartsWithDigits(const char* first, const char* last)
{
    return first != last && ((*first >= '0' && *first <= '9') || *first == '.');
}

// Reads a number from the start of text as a stream extraction would, without the locale:
// leading white space and a '+' sign are skipped, reading stops after the number. Words such as
// "inf" or "nan" are no numbers.
template <class T>
bool ReadNumber(const std::string& text, T& value)
{
    const char* first = text.data();
    const char* last = text.data() + text.size();
    while (first != last && (*first == ' ' || (*first >= '\t' && *first <= '\r'))) ++first;
    if (first != last && *first == '+') ++first;
    if (!StartsWithDigits(first != last && *first == '-' ? first + 1 : first, last)) return false;
    const auto [end, error] = std::from_chars(first, last, value);
    return error == std::errc();
}

}  // namespace

void CPIntDator::Set(const std::string& text)
{
    ReadNumber(text, *m_variable);
}

void CPIntDator::Add(const std::string& text)
{
    int32_t value = 0;
    if (ReadNumber(text, value)) *m_variable = static_cast<int32_t>(int64_t{*m_variable} + value);
}

void CPIntDator::Subtract(const std::string& text)
{
    int32_t value = 0;
    if (ReadNumber(text, value)) *m_variable = static_cast<int32_t>(int64_t{*m_variable} - value);
}

std::string CPIntDator::ToString() const
{
    char text[16];
    const auto result = std::to_chars(text, text + sizeof text, *m_variable);
    return std::string(text, result.ptr);
}

void CPFloatDator::Set(const std::string& text)
{
    ReadNumber(text, *m_variable);
}

void CPFloatDator::Add(const std::string& text)
{
    float value = 0.0f;
    if (ReadNumber(text, value)) *m_variable += value;
}

void CPFloatDator::Subtract(const std::string& text)
{
    float value = 0.0f;
    if (ReadNumber(text, value)) *m_variable -= value;
}

std::string CPFloatDator::ToString() const
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, *m_variable, std::chars_format::general, 6);
    return std::string(text, result.ptr);
}
