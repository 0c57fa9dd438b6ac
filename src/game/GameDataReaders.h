#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "game/PCarSetup.h"
#include "game/PItemInfo.h"

// The readers of the game data's text files.
//
// The item tables and the texts are read line by line, as modders' files expect: a line gives
// what it holds and no line is refused for its shape. Only a line that cannot be read safely is
// left out, with a log line naming the file (path) and the line: one longer than
// kLongestTableLine, or one with a number that is not finite.
//
// The others read the bytes of a whole file into the containers they are given and return true,
// or return false with the reason in error (the offending line quoted) as soon as a line does not
// hold what its format asks for: a wrong number of fields, a number field that is not a number,
// a count or level out of range. The containers may then hold a part of the file: callers read
// into temporaries and keep them only when the reader succeeded.

template <class Info>
using ItemMap = std::unordered_map<std::string, Info>;
template <class Info>
using ItemList = std::vector<std::pair<std::string, Info>>;

// An item table, separator ";": the item name, the name key, the price, the record's own fields,
// the description key and the first mission. A field the line does not have reads as "" or 0,
// fields beyond these are not read; numbers are read as atoi and atof read them. A name that
// repeats an earlier one overwrites the map's record and adds a second list entry.
template <class Info>
void ParseItemTable(const uint8_t* data, size_t size, const std::string& path, ItemMap<Info>& infos,
                    ItemList<Info>& list);

// Data\strings.txt, separator "~": a key and its text; a key alone has the text "", fields after
// the text are not read. Double quotes group a text holding "~". A later line with the same key
// wins.
void ParseStrings(const uint8_t* data, size_t size, const std::string& path,
                  std::unordered_map<std::string, std::string>& strings);

// Data\shop.dat, separator ";", ten fields per line: three weapons, two equipment items, bumper,
// engine, armour, the super-weapon count (0 or more) and the mine; "none" is an empty slot. A
// count above 0 gives the super weapon "super".
bool ParseShopPresets(const uint8_t* data, size_t size, std::vector<SPCarSetup>& presets, std::string& error);

// DATA\player.dat, one value a line, fourteen lines: three weapons, mine, armour, bumper, engine,
// super weapon, super-weapon count (0 or more), two equipment items, three weapon levels (0 to 4).
bool ParsePlayerSetup(const uint8_t* data, size_t size, SPCarSetup& setup, std::string& error);

// DATA\coeff.dat, four lines of one number each (0 or more): enemy health, player damage, bonus
// chance and level time factors.
bool ParseCoefficients(const uint8_t* data, size_t size, std::array<float, 4>& coefficients, std::string& error);
