#pragma once
#include <string>

#include "core/Singleton.h"

// The enemy records of "data\enemies.dat". Created at start-up, destroyed at shutdown.
//
// Not done yet: the records and their reader; Load reads nothing yet.
class CPEnemyDatabase : public TSingleton<CPEnemyDatabase> {
public:
    CPEnemyDatabase() = default;
    virtual ~CPEnemyDatabase() = default;

    // Reads the enemy records of the file; false while they cannot be read yet.
    bool Load(const std::string& fileName) { return false; }
};

// The enemy database, null before its construction and after its destruction.
inline CPEnemyDatabase* GetEnemyDatabase() { return CPEnemyDatabase::Instance(); }
