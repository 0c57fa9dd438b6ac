#pragma once
#include <string>
#include <vector>

// One line of weapons.dat: "name key parameters", the parameters separated by ";". Blanks
// between the parameters are dropped (a double-quoted run keeps its own).
struct SPWeaponLine {
    std::string name;
    std::string key;
    std::vector<std::string> fields;
};

// Splits a line; false when it has no name or no type key.
bool SplitWeaponLine(const std::string& line, SPWeaponLine& result);
// The fewest definition fields a line of the type key must have (the classes read their fields
// by index, the sound last); -1 for a key this build has no class for.
int MinimumFieldCount(const std::string& key);
