#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "math/PVector3.h"

// A kind with its odds: chosen by a draw v (0 to 99) when low <= v < high. The bands of one list
// lie back to back from 0, built from the running sum of their counts.
struct SPChanceBand {
    std::string name;
    int32_t low = 0;
    int32_t high = 0;
};
using ChanceBands = std::vector<SPChanceBand>;

// The first band of the list that holds the draw, or null.
const SPChanceBand* FindBand(const ChanceBands& bands, int32_t draw);

// One check point of a mission: four numbers for the scripts, the enemy kinds that may come
// with their odds, the bonus chance (a percentage) and the bonus kinds with their odds.
struct SPCheckPointInfo {
    float param1 = 0.0f;
    int32_t param2 = 0;
    int32_t param3 = 0;
    int32_t param4 = 0;
    ChanceBands enemyBands;
    int32_t bonusChance = 0;
    ChanceBands bonusBands;
};

// A place of the level from which enemies of given kinds come at a check point.
struct SPEnemySource {
    PVector3 position{0.0f, 0.0f, 0.0f};
    // False for the field "0", else true; the enemy choice keeps the sources of the flag it asks for.
    bool flag = false;
    float param = 0.0f;
    ChanceBands enemyBands;
};
// The sources of each check point, by its number as the scripts write it.
using EnemySources = std::unordered_map<std::string, std::vector<SPEnemySource>>;

// A mission file read: its check points, its spawn sources, and every enemy kind it can send (in
// file order, repeats kept).
struct SPMission {
    std::vector<SPCheckPointInfo> checkPoints;
    EnemySources enemySources;
    std::vector<std::string> enemyKinds;
};

// Reads a mission file: a line per check point (param1, param2, param3, param4, the enemy list
// "kind,count;kind,count", the bonus chance, the bonus list), then after a line "sources" a line
// per spawn source (point name, check-point key, flag, param, enemy list), blank-separated with
// quotes grouping. A missing field reads as "" or 0; a line with a number that is not finite is
// left out, logged against path. A source point the level lacks (not in spawnPoints) stands at
// the origin, logged.
void ParseMission(const uint8_t* data, size_t size, const std::string& path,
                  const std::unordered_map<std::string, PVector3>& spawnPoints, SPMission& mission);
