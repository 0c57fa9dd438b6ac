#include "LevelText.h"

#include <charconv>
#include <cstdio>
#include <sstream>
#include <vector>

#include "game/DataFileReader.h"

namespace vxlevel {
namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads a quoted word from line at i (just past its opening quote) up to its closing quote,
// turning the escapes \", \\ and \xHH into their bytes; i ends past the closing quote.
bool ReadQuoted(const std::string& line, size_t& i, std::string& word, std::string& error)
{
    while (i < line.size() && line[i] != '"') {
        if (line[i] != '\\') {
            word += line[i++];
            continue;
        }
        const char escaped = i + 1 < line.size() ? line[i + 1] : '\0';
        if (escaped == '"' || escaped == '\\') {
            word += escaped;
            i += 2;
        } else if (escaped == 'x' && i + 3 < line.size() && HexDigit(line[i + 2]) >= 0 && HexDigit(line[i + 3]) >= 0) {
            word += static_cast<char>(HexDigit(line[i + 2]) * 16 + HexDigit(line[i + 3]));
            i += 4;
        } else {
            return (error = "an escape in quotes that is not \\\", \\\\ or \\xHH", false);
        }
    }
    if (i == line.size()) return (error = "quotes that are not closed", false);
    ++i;
    return true;
}

// The words of a line: runs of characters between blanks, or quoted; "//" outside quotes starts
// a comment that runs to the end of the line.
bool Words(const std::string& line, std::vector<std::string>& words, std::string& error)
{
    size_t i = 0;
    while (i < line.size()) {
        if (IsBlank(line[i])) {
            ++i;
        } else if (line.compare(i, 2, "//") == 0) {
            break;
        } else if (line[i] == '"') {
            std::string word;
            ++i;
            if (!ReadQuoted(line, i, word, error)) return false;
            words.push_back(word);
        } else {
            const size_t start = i;
            while (i < line.size() && !IsBlank(line[i]) && line.compare(i, 2, "//") != 0) ++i;
            words.push_back(line.substr(start, i - start));
        }
    }
    return true;
}

// A name as a word: as it is when it reads back so (not empty, printable ASCII without blanks,
// "//" or a leading quote), otherwise in quotes with escapes.
std::string NameWord(const std::string& name)
{
    bool plain = !name.empty() && name[0] != '"' && name.find("//") == std::string::npos;
    for (const char c : name) plain = plain && c > ' ' && c < 0x7F;
    if (plain) return name;
    std::string word = "\"";
    for (const char c : name) {
        if (c == '"' || c == '\\') {
            word += '\\';
            word += c;
        } else if (c >= ' ' && c < 0x7F) {
            word += c;
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned char>(c));
            word += escape;
        }
    }
    return word + "\"";
}

// Reads count floats from words starting at first into out.
bool ReadFloats(const std::vector<std::string>& words, size_t first, size_t count, float* out)
{
    if (words.size() != first + count) return false;
    for (size_t i = 0; i < count; ++i) {
        if (!ReadFloatField(words[first + i], out[i])) return false;
    }
    return true;
}

bool ReadColour(const std::string& text, uint32_t& colour)
{
    if (text.empty() || text.size() > 8) return false;
    const auto [end, result] = std::from_chars(text.data(), text.data() + text.size(), colour, 16);
    return result == std::errc() && end == text.data() + text.size();
}

bool ParseLine(const std::vector<std::string>& words, SPLevelFile& level, bool& sized, std::string& error)
{
    const std::string& item = words[0];
    if (item == "size") {
        if (sized) return (error = "a second size line", false);
        float half[2];
        if (!ReadFloats(words, 1, 2, half)) return (error = "not \"size <half width> <half depth>\"", false);
        level.halfWidth = half[0];
        level.halfDepth = half[1];
        sized = true;
        return true;
    }
    if (item == "light") {
        if (level.lightCount > 0) return (error = "a second light line", false);
        if (words.size() < 2 || !ReadColour(words[1], level.light.colour) ||
            !ReadFloats(words, 2, level.light.matrix.size(), level.light.matrix.data())) {
            return (error = "not \"light <RRGGBB> <12 floats>\"", false);
        }
        level.lightCount = 1;
        return true;
    }
    if (item == "object") {
        SPLevelRecord record;
        float values[7];
        if (words.size() < 2 || !ReadFloats(words, 2, 7, values)) {
            return (error = "not \"object <name> <x> <y> <z> <qx> <qy> <qz> <qw>\"", false);
        }
        record.name = words[1];
        record.position = {values[0], values[1], values[2]};
        record.rotation = {values[3], values[4], values[5], values[6]};
        level.records.push_back(record);
        return true;
    }
    error = "unknown item \"" + item + "\"";
    return false;
}

// The shortest text that reads back as the same float.
std::string FloatText(float value)
{
    char text[32];
    const auto [end, result] = std::to_chars(text, text + sizeof text, value);
    return std::string(text, end);
}

}  // namespace

bool ParseLevelText(const std::string& text, SPLevelFile& level, std::string& error)
{
    SPLevelFile parsed;
    bool sized = false;
    int lineNumber = 0;
    std::istringstream in(text);
    for (std::string raw; std::getline(in, raw);) {
        ++lineNumber;
        std::vector<std::string> words;
        std::string reason;
        if (Words(raw, words, reason) && words.empty()) continue;
        if (!reason.empty() || !ParseLine(words, parsed, sized, reason)) {
            error = "line " + std::to_string(lineNumber) + ": " + reason;
            return false;
        }
    }
    if (!sized) return (error = "no size line", false);
    const std::vector<uint8_t> bytes = WriteLevelFile(parsed);
    SPLevelFile check;
    if (!ReadLevelFile(bytes.data(), bytes.size(), check, error)) return false;
    level = std::move(parsed);
    return true;
}

std::string FormatLevelText(const SPLevelFile& level)
{
    std::string text = "size " + FloatText(level.halfWidth) + " " + FloatText(level.halfDepth) + "\n";
    if (level.lightCount > 0) {
        char colour[16];
        std::snprintf(colour, sizeof colour, "%06x", level.light.colour);
        text += std::string("light ") + colour;
        for (float value : level.light.matrix) text += " " + FloatText(value);
        text += "\n";
    }
    for (const SPLevelRecord& record : level.records) {
        text += "object " + NameWord(record.name);
        for (float value : {record.position.x, record.position.y, record.position.z, record.rotation.x,
                            record.rotation.y, record.rotation.z, record.rotation.w}) {
            text += " " + FloatText(value);
        }
        text += "\n";
    }
    return text;
}

}  // namespace vxlevel
