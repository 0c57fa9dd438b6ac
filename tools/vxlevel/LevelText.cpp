#include "LevelText.h"

#include <charconv>
#include <cstdio>
#include <sstream>
#include <vector>

#include "game/DataFileReader.h"

namespace vxlevel {
namespace {

std::vector<std::string> Words(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
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
        const std::vector<std::string> words = Words(raw.substr(0, raw.find("//")));
        if (words.empty()) continue;
        std::string reason;
        if (!ParseLine(words, parsed, sized, reason)) {
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
        text += "object " + record.name;
        for (float value : {record.position.x, record.position.y, record.position.z, record.rotation.x,
                            record.rotation.y, record.rotation.z, record.rotation.w}) {
            text += " " + FloatText(value);
        }
        text += "\n";
    }
    return text;
}

}  // namespace vxlevel
