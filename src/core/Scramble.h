#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Byte-wise scrambling of the data packs, save games, the score table and the links file: byte i
// of a buffer plus (Scramble) or minus (Unscramble) key[i mod 1933] of one fixed key table. The
// key position restarts at the first byte of every buffer.
constexpr size_t kScrambleKeySize = 1933;

void Scramble(uint8_t* data, size_t size);
void Unscramble(uint8_t* data, size_t size);

inline void Scramble(std::vector<uint8_t>& data) { Scramble(data.data(), data.size()); }
inline void Unscramble(std::vector<uint8_t>& data) { Unscramble(data.data(), data.size()); }
