#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "game/PCarSetup.h"

// One save game, DATA\Saves\save1.sav to save13.sav (13 is the autosave). The file is scrambled
// as a whole; its unscrambled stream holds, in the binary stream format (PBinaryReader.h), the
// description the load screen lists, money, mission, the committed set-up's weapons (3),
// equipment (2), bumper, engine, armour, super weapon, super-weapon count and mine, the score,
// hard mode (1 set, anything else clear) and the three weapon levels; strings are a 32-bit count
// and their bytes, numbers 32-bit integers. Nothing follows the last weapon level.
struct SPSaveGame {
    std::string description;
    int32_t money = 0;
    int32_t mission = 0;
    SPCarSetup setup;
    int32_t score = 0;
    bool hardMode = false;

    bool operator==(const SPSaveGame&) const = default;
};

constexpr int32_t kSaveSlotCount = 13;
// Descriptions are short texts: a longer one is cut to this many bytes when written and read.
constexpr size_t kMaxSaveDescriptionLength = 255;
// The slot whose description is the "autosave" text.
constexpr char kAutosaveName[] = "save13.sav";

// Reads a whole save from its unscrambled bytes. False, with the reason in error and save
// untouched, unless the bytes hold every field and nothing more, each string within the bytes,
// and every weapon level 0 to 4. Any other number is taken as it is: whatever SaveGameBytes
// writes reads back.
bool ReadSaveGame(const uint8_t* data, size_t size, SPSaveGame& save, std::string& error);

// The unscrambled bytes of the file for a save.
std::vector<uint8_t> SaveGameBytes(const SPSaveGame& save);

// Whether a save may be written or read under the name: a plain file name of the saves folder
// (not empty, no folder separator, not "." or "..", no "..").
bool IsSaveFileName(const std::string& name);
