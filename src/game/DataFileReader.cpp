#include "game/DataFileReader.h"

#include <charconv>
#include <cmath>

#include "core/PFile.h"
#include "core/PLog.h"
#include "core/PTextReader.h"
#include "core/Result.h"
#include "core/TextHelpers.h"

namespace {

// Skips one '+' or '-'; from_chars takes only the minus itself.
const char* SkipPlus(const char* first, const char* last)
{
    return first != last && *first == '+' ? first + 1 : first;
}

bool StartsWithDigitOrPoint(const char* first, const char* last)
{
    if (first != last && *first == '-') ++first;
    return first != last && ((*first >= '0' && *first <= '9') || *first == '.');
}

template <class T>
bool ReadWholeNumber(const std::string& text, T& value)
{
    const char* first = SkipPlus(text.data(), text.data() + text.size());
    const char* last = text.data() + text.size();
    if (!StartsWithDigitOrPoint(first, last)) return false;
    T number{};
    const auto [end, error] = std::from_chars(first, last, number);
    if (error != std::errc() || end != last) return false;
    value = number;
    return true;
}

}  // namespace

std::vector<std::string> SplitLines(const uint8_t* data, size_t size)
{
    std::vector<std::string> lines;
    CPTextReader reader(data, static_cast<int32_t>(size));
    std::string line;
    while (reader.ReadLine(line)) lines.push_back(line);
    return lines;
}

std::vector<SPNumberedLine> SplitNumberedLines(const uint8_t* data, size_t size)
{
    std::vector<SPNumberedLine> lines;
    CPTextReader reader(data, static_cast<int32_t>(size));
    std::string line;
    while (reader.ReadLine(line)) lines.push_back({reader.GetLineNumber(), line});
    return lines;
}

bool ReadIntField(const std::string& text, int32_t& value)
{
    return ReadWholeNumber(text, value);
}

bool ReadFloatField(const std::string& text, float& value)
{
    float number = 0.0f;
    if (!ReadWholeNumber(text, number) || !std::isfinite(number)) return false;
    value = number;
    return true;
}

std::string ItemNameField(const std::string& text)
{
    return text == "none" ? std::string() : text;
}

const std::string& FieldCursor::Next()
{
    return FieldAt(m_fields, m_next++);
}

void FieldCursor::Text(std::string& value)
{
    value = Next();
}

void FieldCursor::Int(int32_t& value)
{
    value = AtoI(Next());
}

void FieldCursor::Float(float& value)
{
    value = 0.0f;
    if (FiniteAtoF(Next(), value) || !m_error.empty()) return;
    m_error = "field " + std::to_string(m_next) + " is not a finite number";
}

void ReportRefusedLine(const std::string& path, int32_t lineNumber, const std::string& why)
{
    GetLog()->Print(0, "Data file %s, line %d left out: %s\n", path.c_str(), lineNumber, why.c_str());
}

void ReportRefusedFile(const std::string& path, const std::string& error)
{
    GetLog()->Print(0, "Data file %s refused, its defaults stand: %s\n", path.c_str(), error.c_str());
}

bool ReadDataFile(const std::string& path, bool scrambled, std::vector<uint8_t>& bytes)
{
    CPFile file(path, scrambled);
    if (file.Load() != S_OK) return false;
    bytes.assign(file.GetData(), file.GetData() + file.GetSize());
    return true;
}
