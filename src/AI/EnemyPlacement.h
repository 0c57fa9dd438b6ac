#pragma once
#include <cstdint>
#include <string>

// The mission scripts' choice of enemy kinds and places, from the loaded mission's tables, the
// level and the AI task. Every call draws from the game's random sequence. Without a level (or
// its player car) each gives its empty result.

// A chosen kind ("" for none), whether it was found, and where it comes from.
struct SPEnemyChoice {
    std::string kind;
    bool found = false;
    float x = 0.0f;
    float y = 0.0f;
};

// Picks a kind for check point number (counted from 1; key is the number as the scripts write
// it): from a spawn source of that check point whose flag matches useSources and that lies 60 to
// 70 units from the car, else from the check point's own table, drawing again while a walker
// kind comes up with walkers alive (a bounded number of times). Without useSources the place is
// the level's respawn point, wherever the kind came from. A number outside the table, or a table that can give no acceptable
// kind, gives no kind and found false.
SPEnemyChoice ChooseEnemyType(int32_t number, const std::string& key, bool useSources);

// Whether a spawn source of the check point with that flag lies 60 to 70 units from the car.
bool IsEnemySourceNear(bool flag, const std::string& key);

// A free place for an enemy of the kind: up to 15 tries on the border of a square around the
// car (or around (cx, cy) when centreGiven), or behind a fast car, each brought onto the nearest
// point of the level less 20 units, that lies on a free navigation cell. The square's side is
// the kind's lose range × 1.5 (4 with a centre, and never below 4). Success false with the last
// try when none fits, or with (0, 0) for a kind without a prototype.
SPEnemyChoice FindPositionForEnemy(const std::string& kind, bool centreGiven, float cx, float cy);
