#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Byte-string helpers of the text readers.

// True for tab, line feed, carriage return and blank; false for every other byte.
bool IsSpace(char c);
// Removes IsSpace characters from both ends, in place; returns the string.
std::string& Trim(std::string& text);
// The part of text without IsSpace characters at either end.
std::string_view Trimmed(std::string_view text);
// Lower-cases the ASCII letters, in place (other bytes stay); returns the string. Pack paths,
// object and section names go through it, so the result never depends on the locale.
std::string& StrToLower(std::string& text);
// True when every character is a digit, '-' or '.' (the order is not checked); true for "".
bool IsNumber(const std::string& text);
// True when every character is a digit or '-'; true for "".
bool IsInteger(const std::string& text);
// The number at the start of text as the C runtime's atof and atoi read it in the "C" locale:
// leading white space and a sign, then as many characters as form a number; 0 when none do.
// An int beyond 32 bits reads as the nearest limit.
// A number beyond the float range reads as an infinity of its sign.
float AtoF(const std::string& text);
int32_t AtoI(const std::string& text);
// The number at the start of text as AtoF reads it, when it is finite: false, and value
// untouched, for "inf", "nan" and numbers beyond the float range. The readers of data files take
// their numbers through it and decide per field what such a value means.
bool FiniteAtoF(const std::string& text, float& value);
// The value as "%f" writes it in the "C" locale (six decimals), whatever the process locale: the
// numbers of script commands go through it.
std::string FloatText(float value);
// The text with its control bytes (below 0x20, and 0x7F) written as "\xHH", so that printing a
// name read from a file cannot steer the terminal.
std::string ShowControlBytes(const std::string& text);
