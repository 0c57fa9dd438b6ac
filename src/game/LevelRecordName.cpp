#include "game/LevelRecordName.h"

#include <array>
#include <limits>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool StartsWith(const std::string& text, const std::string& prefix) { return text.compare(0, prefix.size(), prefix) == 0; }

struct ListPrefix {
    const char* text;
    LevelList list;
    int32_t first;  // the smallest number
    int32_t offset; // list index = n - offset
};

// In the order they are tried.
constexpr std::array<ListPrefix, 6> kPrefixes{{
    {"fw_", LevelList::StageGate, 1, 1},
    {"sfw_", LevelList::StageTarget, 1, 1},
    {"cfw_", LevelList::CheckPointGlass, 1, 1},
    {"csfw_", LevelList::CheckPointBarrier, 0, 0},
    {"sfw2_", LevelList::CheckPointTarget, 0, 0},
    {"fw2_", LevelList::CheckPointGate, 1, 1},
}};
constexpr int32_t kListCount = 20;

std::string WithoutTrailingDigits(std::string name)
{
    while (!name.empty() && IsDigit(name.back())) name.pop_back();
    return name;
}

// The digits of text, as a number of at most 9 digits; false for anything else.
bool ReadSmallDecimal(const std::string& text, int32_t& value)
{
    if (text.empty() || text.size() > 9) return false;
    value = 0;
    for (char c : text) {
        if (!IsDigit(c)) return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

// Strips "<prefix><n>_" from the name; records the list when it is the first prefix met.
void ApplyPrefix(const ListPrefix& prefix, SPLevelRecordName& record, bool& matched)
{
    const std::string prefixText = prefix.text;
    if (!StartsWith(record.model, prefixText)) return;
    const bool first = !matched;
    matched = true;
    const size_t end = record.model.find('_', prefixText.size());
    const std::string numberText =
        record.model.substr(prefixText.size(), end == std::string::npos ? std::string::npos : end - prefixText.size());
    if (end != std::string::npos) record.model = record.model.substr(end + 1);
    if (!first) return;
    int32_t n = 0;
    if (end == std::string::npos) {
        record.error = std::string("no \"_\" after the number of ") + prefix.text;
    } else if (!ReadSmallDecimal(numberText, n)) {
        record.error = "\"" + numberText + "\" after " + prefix.text + " is not a decimal number";
    } else if (n < prefix.first || n >= prefix.first + kListCount) {
        record.error = std::string(prefix.text) + " number " + numberText + " is outside " +
                       std::to_string(prefix.first) + ".." + std::to_string(prefix.first + kListCount - 1);
    } else {
        record.list = prefix.list;
        record.number = n;
        record.listIndex = n - prefix.offset;
    }
}

void ClassifyCheckPoint(const std::string& name, SPLevelRecordName& record)
{
    record.kind = LevelRecordKind::CheckPoint;
    size_t end = 3;
    while (end < name.size() && (IsDigit(name[end]) || name[end] == '-')) ++end;
    record.numberText = name.substr(3, end - 3);
    record.checkPointNumber = LeadingNumber(record.numberText);
    record.model = end + 1 < name.size() ? name.substr(end + 1) : std::string();
}

}  // namespace

int32_t LeadingNumber(const std::string& text)
{
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) ++i;
    int64_t value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > std::numeric_limits<int32_t>::max()) {
            value = std::numeric_limits<int32_t>::max();
            break;
        }
    }
    return static_cast<int32_t>(negative ? -value : value);
}

SPLevelRecordName ClassifyLevelRecord(const std::string& storedName)
{
    SPLevelRecordName record;
    const std::string name = WithoutTrailingDigits(storedName);
    if (name == "player") {
        record.kind = LevelRecordKind::Player;
    } else if (StartsWith(name, "chk")) {
        ClassifyCheckPoint(name, record);
    } else if (StartsWith(name, "src")) {
        record.kind = LevelRecordKind::SpawnSource;
        record.model = name.size() > 4 ? name.substr(4) : std::string();
    } else {
        record.model = name;
        bool matched = false;
        for (const ListPrefix& prefix : kPrefixes) ApplyPrefix(prefix, record, matched);
    }
    return record;
}
