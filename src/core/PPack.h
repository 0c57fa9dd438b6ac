#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

// Data packs: files of the Data folder named "game<N>dat" (compared case-sensitively; in
// practice game1.dat, game2.dat, ...) that hold a scrambled folder tree of files.
//
// Pack file, integers little-endian:
//   offset 0      magic 0xAF1627C4
//   offset 4      N, the size of the index in bytes
//   offset 8      the index, scrambled as one buffer
//   offset 8 + N  the file bodies, each scrambled as a buffer of its own
// The index holds one entry, the root folder; a folder's children follow it, depth first. An
// entry is: name length (uint32), name bytes, offset (int32; below 0 for a folder, else the
// body's position counted from 8 + N), size (uint32), child count (uint32). A file's lookup key
// is the lower-cased path of names from the root, separated by '\' ("data\textures\sky.tga").

constexpr uint32_t kPackMagic = 0xAF1627C4u;

struct SPPackEntry {
    int64_t offset = 0;  // of the body, from the start of the pack file
    uint32_t size = 0;
};

struct CPPack {
    std::unordered_map<std::string, SPPackEntry> entries;
    int32_t number = 0;
    std::string path;  // "Data\" + the pack's file name
};

// Reads the index of the pack file at a file-system path into pack.entries. An index whose
// names, child counts or bodies run past the data, or a wrong magic, makes the whole pack fail:
// false, with no entries.
bool LoadPackIndex(const std::string& diskPath, CPPack& pack);

// Reads the body of an entry from an open pack file, unscrambled. E_FAIL when the body cannot
// be read whole (the bytes that arrived are kept).
int32_t ReadPackBody(std::FILE* pack, const SPPackEntry& entry, std::vector<uint8_t>& data);

// Finds and indexes the packs of the Data folder (again from scratch when called again), sorted
// by number, greatest first. S_OK, or E_FAIL when a candidate pack could not be read; such a
// pack stays listed without entries and the others still mount.
int32_t MountPacks();

// The mounted packs, greatest number first.
const std::vector<CPPack>& GetPacks();

// True for a pack's file name: it begins with "game" and ends with "dat".
bool IsPackName(const std::string& name);
// The decimal number between "game" and the last four characters of a pack name (0 when none).
int32_t PackNumber(const std::string& name);
