#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "core/Singleton.h"

// One enemy record of "data\enemies.dat": two numbers and three texts that only the scripts
// interpret. The scripts receive them in file order: number1, text1, number2, text2, text3.
struct SPEnemyData {
    float number1 = 0.0f;  // file field 1
    float number2 = 0.0f;  // file field 3
    std::string text2;     // file field 4
    std::string text1;     // file field 2
    std::string text3;     // file field 5

    bool operator==(const SPEnemyData&) const = default;
};

// Reads the lines of an enemy file into records: each line is the enemy name, a blank and its
// value list (further blank-separated tokens are ignored, so a list holding blanks is written in
// double quotes). The list holds up to five fields separated by ";": number; text; number; text;
// text. Missing fields are 0 or "", a name alone is a record of defaults; a later line with the
// same name wins. False, with the reason in error, for more than five fields or a number field
// that holds something other than a number; records may then hold part of the file.
bool ParseEnemyRecords(const uint8_t* data, size_t size, std::unordered_map<std::string, SPEnemyData>& records,
                       std::string& error);

// The enemy records. Created at start-up, loaded first of the game's data, destroyed at shutdown.
class CPEnemyDatabase : public TSingleton<CPEnemyDatabase> {
public:
    CPEnemyDatabase() = default;
    virtual ~CPEnemyDatabase() = default;

    // Replaces the records by those of the file (disk, else the data packs). False, with the
    // records unchanged, when the file is missing or damaged (a damaged file is logged).
    bool Load(const std::string& fileName);

    // The record of that name, or null; nothing is inserted.
    const SPEnemyData* Find(const std::string& name) const;
    // The record of that name, or a record of defaults when there is none (which is not added).
    SPEnemyData GetRecord(const std::string& name) const;

    std::unordered_map<std::string, SPEnemyData> records;
};

// The enemy database, null before its construction and after its destruction.
inline CPEnemyDatabase* GetEnemyDatabase() { return CPEnemyDatabase::Instance(); }
