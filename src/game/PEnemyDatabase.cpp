#include "game/PEnemyDatabase.h"

#include <utility>
#include <vector>

#include "game/DataFileReader.h"

namespace {

constexpr size_t kValueCount = 5;

// An empty number field reads as 0, like a missing one.
bool ReadNumber(const std::string& text, float& value)
{
    return text.empty() || ReadFloatField(text, value);
}

bool ParseEnemyLine(const std::string& line, std::string& name, SPEnemyData& record, std::string& error)
{
    const std::vector<std::string> tokens = SplitFields(line, " ", 2);
    name = tokens.empty() ? std::string() : tokens[0];
    std::vector<std::string> values = tokens.size() > 1 ? SplitFields(tokens[1], ";", kValueCount) : std::vector<std::string>();
    if (values.size() > kValueCount) {
        error = "enemy " + name + ": more than five values";
        return false;
    }
    values.resize(kValueCount);
    if (!ReadNumber(values[0], record.number1) || !ReadNumber(values[2], record.number2)) {
        error = "enemy " + name + ": the first and third values are numbers";
        return false;
    }
    record.text1 = values[1];
    record.text2 = values[3];
    record.text3 = values[4];
    return true;
}

}  // namespace

bool ParseEnemyRecords(const uint8_t* data, size_t size, std::unordered_map<std::string, SPEnemyData>& records,
                       std::string& error)
{
    for (const std::string& line : SplitLines(data, size)) {
        std::string name;
        SPEnemyData record;
        if (!ParseEnemyLine(line, name, record, error)) return false;
        records[name] = record;
    }
    return true;
}

bool CPEnemyDatabase::Load(const std::string& fileName)
{
    std::unordered_map<std::string, SPEnemyData> read;
    const DataFileResult result = LoadDataFile(fileName, false, [&](const uint8_t* data, size_t size, std::string& error) {
        return ParseEnemyRecords(data, size, read, error);
    });
    if (result != DataFileResult::Loaded) return false;
    records = std::move(read);
    return true;
}

const SPEnemyData* CPEnemyDatabase::Find(const std::string& name) const
{
    const auto found = records.find(name);
    return found == records.end() ? nullptr : &found->second;
}

SPEnemyData CPEnemyDatabase::GetRecord(const std::string& name) const
{
    const SPEnemyData* record = Find(name);
    return record ? *record : SPEnemyData();
}
