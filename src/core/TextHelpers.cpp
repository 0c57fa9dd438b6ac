#include "core/TextHelpers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

bool IsSpace(char c)
{
    return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

std::string& Trim(std::string& text)
{
    const std::string_view kept = Trimmed(text);
    const size_t first = static_cast<size_t>(kept.data() - text.data());
    text.erase(first + kept.size());
    text.erase(0, first);
    return text;
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
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

namespace {

// The start of the number in text: white space skipped, and a '+' (from_chars takes no '+').
const char* NumberStart(const std::string& text, bool& negative)
{
    const char* first = text.c_str();
    while (IsSpace(*first) || *first == '\v' || *first == '\f') ++first;
    negative = *first == '-';
    if (*first == '+' || *first == '-') ++first;
    return *first == '+' || *first == '-' ? text.c_str() + text.size() : first;
}

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Whether a number that from_chars found beyond the double range is too small rather than too
// large: a negative exponent, or no digit other than 0 before the point.
bool IsUnderflow(const char* first, const char* last)
{
    const char* exponent = std::find_if(first, last, [](char c) { return c == 'e' || c == 'E'; });
    if (exponent != last) return exponent + 1 != last && exponent[1] == '-';
    const char* point = std::find(first, last, '.');
    return std::all_of(first, point, [](char c) { return c == '0'; });
}

}  // namespace

float AtoF(const std::string& text)
{
    bool negative = false;
    const char* first = NumberStart(text, negative);
    double value = 0.0;
    const auto [end, error] = std::from_chars(first, text.c_str() + text.size(), value);
    if (error == std::errc::result_out_of_range && !IsUnderflow(first, end)) value = kInfinity;
    if (std::fabs(value) > std::numeric_limits<float>::max()) value = kInfinity;
    return static_cast<float>(negative ? -value : value);
}

bool FiniteAtoF(const std::string& text, float& value)
{
    const float number = AtoF(text);
    if (!std::isfinite(number)) return false;
    value = number;
    return true;
}

int32_t AtoI(const std::string& text)
{
    bool negative = false;
    const char* first = NumberStart(text, negative);
    int64_t value = 0;
    const auto [end, error] = std::from_chars(first, text.c_str() + text.size(), value);
    if (error == std::errc::result_out_of_range) value = std::numeric_limits<int64_t>::max();
    if (negative) value = -value;
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

std::string FloatText(float value)
{
    // Wide enough for the largest float with six decimals.
    char text[400];
    const auto result = std::to_chars(text, text + sizeof(text), static_cast<double>(value), std::chars_format::fixed, 6);
    return std::string(text, result.ptr);
}

std::string ShowControlBytes(const std::string& text)
{
    static const char kHex[] = "0123456789abcdef";
    std::string shown;
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            shown += c;
        } else {
            shown += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
        }
    }
    return shown;
}
